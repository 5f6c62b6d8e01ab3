#!/usr/bin/env bash
# Retakes the screenshots the README shows (docs/shots/*.png): the title menu, a tutorial box and
# the boss fight. Builds the release game, runs it under its own Xvfb display and plays it with
# xdotool. The level scenes start from copies of levels/demo.txt with the heroine moved next to
# the first tutorial marker or into the boss arena, so a change of the level's layout needs no
# change here. Run it from anywhere after a change of art or level.
#   WARDEN_SHOTS_DISPLAY   X display number to use (default 97)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
display=":${WARDEN_SHOTS_DISPLAY:-97}"
out=docs/shots

tools/setup.sh xvfb xdotool imagemagick
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target warden levelc

stage=$(mktemp -d)
xvfb_pid=""
game_pid=""
finish() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$stage"
}
trap finish EXIT

if [ -e "/tmp/.X${display#:}-lock" ]; then
  echo "display $display is taken; set WARDEN_SHOTS_DISPLAY to a free number" >&2
  exit 1
fi
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# A folder the game runs in: the shared resources and levels, with demo.lvl compiled from a copy
# of the level source that starts the heroine OFFSET pixels from the leftmost of OBJECTS.
stage_scene() {
  local name=$1 objects=$2 offset=$3 dir="$stage/$1"
  mkdir -p "$dir"
  ln -s "$repo/resource" "$dir/resource"
  ln -s "$repo"/*.lvl "$dir/"
  if [ -n "$objects" ]; then
    rm "$dir/demo.lvl"
    /usr/bin/python3 tools/shots_level.py levels/demo.txt "$dir/demo.txt" "$objects" "$offset"
    build/levelc "$dir/demo.txt" "$dir/demo.lvl" >/dev/null
  fi
}

start_game() {
  (cd "$stage/$1" && SDL_AUDIODRIVER=dummy exec "$repo/build/warden") &
  game_pid=$!
  window=$(timeout 30 xdotool search --sync --name '^Warden of Ostrevan$' | head -n 1) ||
    { echo "the game's window did not open" >&2; exit 1; }
}

stop_game() {
  kill "$game_pid" 2>/dev/null || true
  wait "$game_pid" 2>/dev/null || true
  game_pid=""
}

# The game samples the keys once a frame (30 a second): hold each key for several frames.
hold() {
  xdotool keydown "$1"
  sleep "${2:-0.2}"
  xdotool keyup "$1"
}

shoot() {
  import -window "$window" "$stage/shot.png"
  convert "$stage/shot.png" -strip "$out/$1.png"
  echo "wrote $out/$1.png ($(stat -c %s "$out/$1.png") bytes)"
}

# From the title menu, after the intro, into the level staged in the game's folder.
new_game() {
  sleep 7
  hold z
  sleep 3
}

mkdir -p "$out"

stage_scene title "" 0
start_game title
sleep 7   # the intro page, then the title with its hint
shoot title
stop_game

stage_scene tutorial Tutorial_Motion,Tutorial_Shooting,Tutorial_Enemies -32
start_game tutorial
new_game
hold Right 1
sleep 4   # the box types its first page
shoot tutorial
stop_game

stage_scene boss BossFight -112
start_game boss
new_game
sleep 4   # the director walks her to the centre, the boss wakes
xdotool keydown x
sleep 1.5
hold Left 0.4
hold Right 0.1   # turn back to the boss, still firing
sleep 0.3
shoot boss
xdotool keyup x
stop_game
