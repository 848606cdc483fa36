# Shared by the scripts that run the real game on a virtual X server (source it).
# Sets: root, data, work (a fresh temporary folder removed at exit); the functions
# below set DISPLAY, xpid, gpid and wid. The caller defines fail() before sourcing.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
data=${VORLANE_DATA_DIR:-$root}/Data
command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v xwd >/dev/null ||
  fail "Xvfb, xdotool and xwd are needed (scripts/setup installs them)"

work=$(mktemp -d /tmp/vorlane-xvfb.XXXXXX)
xpid=""; gpid=""; wmpid=""; wid=""
cleanup() {
  [ -n "$gpid" ] && kill "$gpid" 2>/dev/null
  [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# xvfb_start WIDTHxHEIGHT: a virtual screen of that size. Xvfb picks a free display
# number itself and tells it once it is ready, so tests running side by side never
# share one. It must not reset when its last client leaves (-noreset): a game that
# connects during a reset finds no X server and SDL quietly falls back on drawing off
# screen, and the game's window never shows.
xvfb_start() {
  local disp=""
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xpid=$!
  for _ in $(seq 1 100); do
    disp=$(head -n 1 "$work/display")
    [ -n "$disp" ] && break
    kill -0 "$xpid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$disp" ] && DISPLAY=":$disp" xdpyinfo >/dev/null 2>&1 ||
    { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
  export DISPLAY=":$disp"
}

# wm_start: a window manager on the virtual screen, for what needs one (full screen:
# the game asks the window manager for it). Matchbox is small and has no title bars.
wm_start() {
  command -v matchbox-window-manager >/dev/null || fail "matchbox-window-manager is needed (scripts/setup)"
  matchbox-window-manager -use_titlebar no >"$work/wm.log" 2>&1 &
  wmpid=$!
  sleep 0.5
}

# xvfb_stop: ends the virtual screen of xvfb_start and its window manager.
xvfb_stop() {
  [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null && wait "$wmpid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null && wait "$xpid" 2>/dev/null
  xpid=""; wmpid=""
}

# game_folder DIR: a working folder with the generated data linked in and no saves.
game_folder() {
  [ -f "$data/Res/Res1.gfx" ] || fail "no generated data in $data"
  mkdir -p "$1/Data/Save"
  ln -s "$data/Res" "$1/Data/Res"
  ln -s "$data/Music" "$1/Data/Music"
}

# game_start FOLDER LOG GAME [ARGS...]: the game in FOLDER, killed after GAME_SECONDS
# (45 unless set).
# The test runner exports the dummy video and software render drivers for the headless
# tests; the real game here must open a real X11 window, so those are dropped.
game_start() {
  local folder=$1 log=$2
  shift 2
  ( cd "$folder" && unset SDL_VIDEODRIVER SDL_RENDER_DRIVER &&
    SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} exec timeout "${GAME_SECONDS:-45}" "$@" >"$log" 2>&1 ) &
  gpid=$!
}

# game_window LOG: waits for the game's window to show (a loaded machine may take a
# while, up to a minute; the window is made hidden and shown once it has its size) and
# gives it the keyboard. A window that never comes shows the game's output, its
# process state and the windows there are.
game_window() {
  local started=$SECONDS
  wid=""
  for _ in $(seq 1 600); do
    wid=$(xdotool search --onlyvisible --name '^Vorlane$' 2>/dev/null | head -n 1)
    [ -n "$wid" ] && break
    kill -0 "$gpid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$wid" ]; then
    cat "$1" >&2
    ps -o pid,stat,etime,wchan:20,args --ppid "$gpid" --pid "$gpid" >&2 2>/dev/null
    echo "windows on $DISPLAY: $(xdotool search --name . 2>/dev/null | while read -r w; do xdotool getwindowname "$w"; done | paste -sd '|')" >&2
    fail "the game window did not appear within $((SECONDS - started)) s"
  fi
  echo "the window appeared after $((SECONDS - started)) s"
  xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
}

# hold KEY SECONDS: the key held down that long, then a moment's rest. Keys are read
# once a frame. The window may be gone by the time the key comes up.
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1" 2>/dev/null; sleep 0.5; }

# press KEY...: each key held for a moment: a machine busy with other builds and tests
# can leave a few tenths of a second between frames.
press() {
  local key
  for key in "$@"; do hold "$key" 0.8; done
}

# game_wait_exit: waits up to 20 seconds for the game to end (it writes its saves
# first); sets rc to its exit status, or to nothing when it is still running.
game_wait_exit() {
  rc=""
  for _ in $(seq 1 200); do
    if ! kill -0 "$gpid" 2>/dev/null; then wait "$gpid"; rc=$?; gpid=""; break; fi
    sleep 0.1
  done
}
