#!/usr/bin/env bash
# One race played by two builds of the game (the sanitizer build and the Release build):
# this build records a race of a few hundred frames with some steering, and both builds
# play its replay back to the recorded end (exit 0) with the same state on every frame
# (the same dump, line for line).
#   cross_build_replay.sh path/to/vorlane-play path/to/reference/vorlane-play DATA_ROOT
set -u
this=$1 reference=$2 data=$3/Data
fail() { echo "cross_build_replay: $*" >&2; exit 1; }
[ -x "$reference" ] || fail "no reference build at $reference"
[ -f "$data/Res/Res1.gfx" ] || fail "no generated data in $data"
work=$(mktemp -d /tmp/vorlane-cross.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Data/Save"
ln -s "$data/Res" "$work/Data/Res"
ln -s "$data/Music" "$work/Data/Music"

# New game, the car selection's start, then full throttle with a few turns, and leave
# the race with Esc and Y (which writes the race's replay).
{
  echo "60 down Enter"; echo "61 up Enter"
  echo "200 down Enter"; echo "201 up Enter"
  echo "420 down Up"
  for f in 500 640 780 900 1050; do
    echo "$f down Left"; echo "$((f + 25)) up Left"
    echo "$((f + 60)) down Right"; echo "$((f + 80)) up Right"
  done
  echo "1150 up Up"
  echo "1160 down Esc"; echo "1161 up Esc"
  echo "1200 down Y"; echo "1201 up Y"
} >"$work/script"
timeout 300 "$this" --data "$work" --seed 11 --frames 1300 --script "$work/script" >"$work/record.log" 2>&1 ||
  { cat "$work/record.log" >&2; fail "the recording run failed"; }
replay=$work/Data/Save/Replays/last.vrp
[ -s "$replay" ] || fail "the race left no replay"

for build in this reference; do
  exe=$this
  [ "$build" = reference ] && exe=$reference
  timeout 300 "$exe" --data "$work" --replay "$replay" --dump "$work/$build.jsonl" >"$work/$build.log" 2>&1 ||
    { cat "$work/$build.log" >&2; fail "the $build build did not play the replay to its recorded end"; }
done
frames=$(wc -l <"$work/this.jsonl")
[ "$frames" -gt 500 ] || fail "only $frames frames were played back"
if ! cmp -s "$work/this.jsonl" "$work/reference.jsonl"; then
  diff <(tr ',' '\n' <"$work/this.jsonl") <(tr ',' '\n' <"$work/reference.jsonl") | head -20 >&2
  fail "the two builds played the replay differently"
fi
echo "cross_build_replay: $frames frames, the same in both builds"
