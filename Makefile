# Vorlane: the two everyday commands.
#   make run   set up, build the game and the data generator (Release), generate Data/,
#              start the game (the tests, benchmarks and fuzzers are not built)
#   make test  set up, build everything, generate Data/, check the layers and the format,
#              run every test (plus the sanitizer build and a short run of each fuzzer)
BUILD      ?= build/release
SANBUILD   ?= build/sanitize
JOBS       ?= $(shell nproc)
HEADLESS   := SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software
# LeakSanitizer on, with the leaks of system libraries (and only those) suppressed.
LEAKCHECK  := ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0

# configure BUILDDIR ARGS...: cmake's configure step, quiet unless it fails; then its
# whole output is shown (it is also kept in BUILDDIR/configure.log).
define configure
	@mkdir -p $(1)
	@cmake -S . -B $(1) -G Ninja -DVORLANE_WERROR=ON $(2) >$(1)/configure.log 2>&1 || \
	  { cat $(1)/configure.log; echo "configure failed (log: $(1)/configure.log)"; exit 1; }
endef

.PHONY: run test setup configure game build check-sanitize check-fuzz fuzz bench bench-replay scores bench-server

setup:
	@bash scripts/setup

configure: setup
	$(call configure,$(BUILD),-DCMAKE_BUILD_TYPE=Release)

# Only what playing and installing need: the game, the data generator and the data, and
# the screenshots an install ships (taken by the headless player).
game: configure
	@cmake --build $(BUILD) -j $(JOBS) --target vorlane data screenshots

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: game
	@$(BUILD)/vorlane

# The online high-score server with its defaults: http://127.0.0.1:8080, the table
# in vorlane-scores.db here. Ctrl+C stops it.
scores: configure
	@cmake --build $(BUILD) -j $(JOBS) --target vorlane-scores
	@$(BUILD)/server/vorlane-scores

test: build
	@python3 tools/check-layers
	@bash tools/check-format
	$(HEADLESS) ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory check-sanitize
	@$(MAKE) --no-print-directory check-fuzz

# The sanitizer build also plays a replay against the Release build's player, and runs
# the game in a real window under Xvfb (xvfb_smoke), which must end without a leak.
check-sanitize: build
	$(call configure,$(SANBUILD),-DCMAKE_BUILD_TYPE=Debug -DVORLANE_SANITIZE=ON -DVORLANE_DATA=OFF \
	  -DVORLANE_REFERENCE_PLAY=$(CURDIR)/$(BUILD)/tools/play/vorlane-play)
	@cmake --build $(SANBUILD) -j $(JOBS)
	$(HEADLESS) $(LEAKCHECK) UBSAN_OPTIONS=print_stacktrace=1 \
	  VORLANE_DATA_DIR=$(CURDIR) ctest --test-dir $(SANBUILD) --output-on-failure -j $(JOBS) -LE slow

# The fuzzers build (clang, in build/fuzz) and each runs a few seconds on its seeds: a
# fuzzer that no longer builds, or a reader that fails on its seeds, fails the tests.
check-fuzz: setup
	bash tools/fuzz/run --check 3 archive
	bash tools/fuzz/run --check 3 replay

fuzz: setup
	bash tools/fuzz/run $(or $(SECONDS),60) archive
	bash tools/fuzz/run $(or $(SECONDS),60) replay

bench: build
	$(HEADLESS) $(BUILD)/tools/bench/vorlane_bench

# Replay checking speed and replay size: the autopilot drives a race of up to five
# minutes (recorded as the game records), which is then checked as the score server
# checks replays. Printed, never asserted.
bench-replay: build
	@mkdir -p $(BUILD)/bench
	$(HEADLESS) $(BUILD)/server/vorlane_autopilot_replay 5 $(BUILD)/bench/autopilot.vrp
	$(HEADLESS) $(BUILD)/server/vorlane_replay_bench $(BUILD)/bench/autopilot.vrp

# Load figures of the score server on loopback (wrk): health check, submissions,
# the table page with a million rows. Printed, never asserted.
bench-server: build
	bash tools/bench/server-bench $(BUILD)

# The table at depth: pages, ranks and periods with 10,000,000 rows (BENCH_DB=sqlite or
# postgresql, BENCH_ROWS, BENCH_KEEP=FOLDER to load once and measure again). Printed only.
.PHONY: bench-server-depth
bench-server-depth: build
	bash tools/bench/server-depth-bench $(BUILD)
