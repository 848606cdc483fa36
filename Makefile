# Vorlane: the two everyday commands.
#   make run   set up, build (Release), generate Data/, start the game
#   make test  set up, build, generate Data/, check the layers, run every test (plus the sanitizer build)
BUILD      ?= build/release
SANBUILD   ?= build/sanitize
JOBS       ?= $(shell nproc)
HEADLESS   := SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software

.PHONY: run test setup build check-sanitize fuzz bench

setup:
	@bash scripts/setup

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/vorlane

test: build
	@python3 tools/check-layers
	$(HEADLESS) ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory check-sanitize

check-sanitize: setup
	@cmake -S . -B $(SANBUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORLANE_SANITIZE=ON -DVORLANE_DATA=OFF >/dev/null
	@cmake --build $(SANBUILD) -j $(JOBS)
	$(HEADLESS) ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  VORLANE_DATA_DIR=$(CURDIR) ctest --test-dir $(SANBUILD) --output-on-failure -j $(JOBS) -LE slow

fuzz: setup
	bash tools/fuzz/run $(or $(SECONDS),60) archive
	bash tools/fuzz/run $(or $(SECONDS),60) replay

bench: build
	$(HEADLESS) $(BUILD)/tools/bench/vorlane_bench
