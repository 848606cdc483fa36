#!/usr/bin/env bash
# The game's command line: --help and --version end with status 0 before any window
# opens, a mistake with status 2 and the usage on the error output, and --data is
# where the game looks for its data.
#   command_line.sh path/to/vorlane VERSION
set -u
game=$(realpath "$1") version=$2
fail() { echo "command_line: $*" >&2; exit 1; }
out=$(mktemp -d /tmp/vorlane-cli.XXXXXX)
trap 'rm -rf "$out"' EXIT

run() { # run NAME ARGS...: status in $rc, output in $out/NAME.out and .err
  local name=$1
  shift
  timeout 10 "$game" "$@" >"$out/$name.out" 2>"$out/$name.err"
  rc=$?
}

run help --help
[ "$rc" -eq 0 ] || fail "--help ended with $rc"
grep -q '^usage: vorlane \[--window | --fullscreen\] \[--scale N\] \[--smooth\] \[--data DIR\] \[--server URL\]' \
  "$out/help.out" || fail "--help printed no usage: $(cat "$out/help.out")"

run version --version
[ "$rc" -eq 0 ] || fail "--version ended with $rc"
[ "$(cat "$out/version.out")" = "vorlane $version" ] || fail "--version printed \"$(cat "$out/version.out")\""

for bad in "--bogus" "--scale 0" "--scale" "--window=yes" "extra"; do
  # shellcheck disable=SC2086 # the words of each case are meant to split
  run bad $bad
  [ "$rc" -eq 2 ] || fail "\"$bad\" ended with $rc, not 2"
  grep -q '^usage: vorlane' "$out/bad.err" || fail "\"$bad\" printed no usage on the error output"
  [ -s "$out/bad.out" ] && fail "\"$bad\" printed on the standard output"
done
# --data names the folder the game reads from, whatever the working folder: a folder
# without the game's data is reported by the file it lacks.
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software run data --data "$out/nowhere"
[ "$rc" -eq 1 ] || fail "--data with no data ended with $rc, not 1"
grep -q "$out/nowhere/Data/Res/Res1.gfx" "$out/data.err" || fail "--data: no word of the missing archive: $(cat "$out/data.err")"
# Started from another folder without --data: where the data was looked for (the whole
# path) and how to name the folder that holds it.
mkdir "$out/elsewhere"
rc=$(cd "$out/elsewhere" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software \
  timeout 10 "$game" >"$out/elsewhere.out" 2>"$out/elsewhere.err"; echo $?)
[ "$rc" -eq 1 ] || fail "started elsewhere the game ended with $rc, not 1"
grep -qF "no $out/elsewhere/Data/Res/Res1.gfx" "$out/elsewhere.err" ||
  fail "started elsewhere: no word of where the data was looked for: $(cat "$out/elsewhere.err")"
grep -qF -- "--data DIR" "$out/elsewhere.err" || fail "started elsewhere: no word of --data: $(cat "$out/elsewhere.err")"
# --replay refuses unread what is not a regular file of a replay's size: status 2, the
# file named with the reason, before any window opens (a pipe is never waited on).
mkdir "$out/folder.vrp"
mkfifo "$out/pipe.vrp"
truncate -s 100M "$out/huge.vrp"
for refused in "$out/folder.vrp:it is a folder, not a file" "$out/pipe.vrp:it is a pipe, not a file" \
  "/dev/zero:it is a device, not a file" "$out/huge.vrp:it is 104857600 bytes long"; do
  file=${refused%%:*} reason=${refused#*:}
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software run replay --replay "$file"
  [ "$rc" -eq 2 ] || fail "--replay $file ended with $rc, not 2: $(cat "$out/replay.err")"
  grep -qF "cannot read the replay $file: $reason" "$out/replay.err" ||
    fail "--replay $file: not refused as it should be: $(cat "$out/replay.err")"
done
# With no display to show a window on (no X server at DISPLAY, no Wayland), the game
# says so and ends, instead of running in a window nobody sees. (A machine with a
# console display may open the game there; it is not asked then.)
if ! compgen -G "/dev/dri/card*" >/dev/null; then
  nodisplay=:65123
  [ -e /tmp/.X11-unix/X65123 ] && fail "an X server runs at $nodisplay; the test needs that display free"
  env -u SDL_VIDEODRIVER -u SDL_RENDER_DRIVER -u WAYLAND_DISPLAY DISPLAY=$nodisplay SDL_AUDIODRIVER=dummy \
    XDG_DATA_HOME="$out/xdg" timeout 20 "$game" >"$out/nodisplay.out" 2>"$out/nodisplay.err"
  rc=$?
  [ "$rc" -eq 1 ] || fail "with no display the game ended with $rc, not 1: $(cat "$out/nodisplay.err")"
  grep -q "Cannot open the window: no display answered (DISPLAY=$nodisplay" "$out/nodisplay.err" ||
    fail "with no display: no word of it: $(cat "$out/nodisplay.err")"
fi
echo "command_line: ok"
