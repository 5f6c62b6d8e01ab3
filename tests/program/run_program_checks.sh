#!/usr/bin/env bash
# Starts the real game headless, stops it the way a desktop would (SIGTERM) and checks that it
# logged its start, shut down in order and exited with 0. Also checks the "-pack" dispatch.
set -u
bin="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"  # the checks run it from other folders too
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
fail=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Starts the game in a folder, in the background ($pid), logging to $log, and waits up to 20 s
# for a log line matching the pattern: start_game FOLDER PATTERN [ARGUMENT...]
start_game() {
  local folder="$1" pattern="$2"
  shift 2
  (cd "$folder" && exec "$bin" "$@") >"$log" 2>&1 &
  pid=$!
  for _ in $(seq 1 200); do
    grep -q "$pattern" "$log" && break
    sleep 0.1
  done
}
# Sends SIGTERM and sets $rc to the exit code.
stop_game() {
  kill -TERM "$pid"
  wait "$pid"
  rc=$?
}

start_game . "Entering Game Loop..."
sleep 0.5
stop_game
if [ "$rc" -ne 0 ]; then echo "FAIL: game exited with $rc after SIGTERM"; fail=1; fi
if [ "$(sed -n 1p "$log")" != "Program Started" ]; then echo "FAIL: first log line is not 'Program Started'"; fail=1; fi
if ! grep -qx "Entering Game Loop..." "$log"; then echo "FAIL: no 'Entering Game Loop...'"; fail=1; fi

# "-pack" alone is not a packager run: the game starts.
start_game . "Entering Game Loop..." -pack
stop_game
if ! grep -q "Entering Game Loop..." "$log" || grep -q "Starting resource packager" "$log"; then
  echo "FAIL: '-pack' without a list file did not start the game"; fail=1
fi

# "-pack LIST" packs and exits 0 without opening a window (no video driver exists here, so
# the game's start-up would fail); an unreadable list exits non-zero. Runs in a scratch
# folder so the repository's resource/ is never touched.
scratch=$(mktemp -d)
mkdir -p "$scratch/resource"
printf 'BODY' >"$scratch/resource/one.gif"
printf 'resource\\one.gif\n' >"$scratch/list.txt"
# Traced: both pack files, once written, and after the renames their folder reach the disk before
# the source is deleted. (The leak checker cannot run under a tracer.)
(cd "$scratch" && ASAN_OPTIONS=detect_leaks=0 SDL_VIDEODRIVER=no-such-driver \
   strace -qq -y -e trace=write,fsync,rename,unlink -o trace "$bin" -pack list.txt >"$log" 2>&1)
rc=$?
order=$(awk -F'(' '/^write\([0-9]+<[^>]*\.new>/ || $1 == "fsync" || $1 == "rename" ||
                   /^unlink\("resource\/one.gif"/ { printf "%s ", $1 }' "$scratch/trace")
if [ "$rc" -ne 0 ] || [ ! -s "$scratch/resource/resource.dir" ] || [ ! -s "$scratch/resource/resource.pack" ] \
   || [ -e "$scratch/resource/one.gif" ] || grep -q "Program Started" "$log" \
   || ! grep -qx "Packaging job complete." "$log" || [ "$order" != "write fsync write fsync rename rename fsync unlink " ]; then
  echo "FAIL: '-pack list.txt' did not pack cleanly (exit $rc; $order)"; fail=1
fi
# While another run holds the folder, a run ends with 1 and touches nothing.
cp "$scratch/resource/resource.pack" "$scratch/old.pack"
printf 'NEW' >"$scratch/resource/two.gif"
printf 'resource\\two.gif\n' >"$scratch/list.txt"
(cd "$scratch" && SDL_VIDEODRIVER=no-such-driver flock resource "$bin" -pack list.txt >"$log" 2>&1)
rc=$?
if [ "$rc" -ne 1 ] || ! grep -q "Another packaging run is working on this folder" "$log" \
   || ! cmp -s "$scratch/old.pack" "$scratch/resource/resource.pack" || [ ! -e "$scratch/resource/two.gif" ]; then
  echo "FAIL: '-pack' beside a run at work did not stop untouched (exit $rc)"; fail=1
fi
rm "$scratch/resource/two.gif"
(cd "$scratch" && SDL_VIDEODRIVER=no-such-driver "$bin" -pack missing-list.txt >"$log" 2>&1)
rc=$?
if [ "$rc" -eq 0 ] || grep -q "Packaging job complete." "$log" || [ ! -s "$scratch/resource/resource.pack" ]; then
  echo "FAIL: '-pack' with an unreadable list reported success or lost the pack (exit $rc)"; fail=1
fi
# Past a file size limit of 4 KiB: exit 1, not death by the limit's signal, with the source and the
# old pack kept and nothing of the run beside them.
head -c 5000 /dev/zero >"$scratch/resource/big.gif"
printf 'resource\\big.gif\n' >"$scratch/list.txt"
(ulimit -f 4; cd "$scratch" && SDL_VIDEODRIVER=no-such-driver exec "$bin" -pack list.txt >"$log" 2>&1)
rc=$?
if [ "$rc" -ne 1 ] || [ "$(wc -c <"$scratch/resource/big.gif")" -ne 5000 ] \
   || ! cmp -s "$scratch/old.pack" "$scratch/resource/resource.pack" \
   || [ "$(ls "$scratch/resource" | tr '\n' ' ')" != "big.gif resource.dir resource.pack " ]; then
  echo "FAIL: '-pack' past the file size limit did not fail cleanly (exit $rc)"; fail=1
fi
rm -rf "$scratch"

# Started from another folder, the game reads the data of this source tree: above the executable
# in a build folder inside the tree, through what the build remembers in one outside it.
elsewhere=$(mktemp -d)
start_game "$elsewhere" "Entering Game Loop..."
stop_game
found=$(sed -n "s/.*reading the game's data from \"\(.*\)\"$/\1/p" "$log")
if [ "$rc" -ne 0 ] || [ "$(grep -c "reading the game's data from" "$log")" -ne 1 ] || [ -z "$found" ] \
   || [ "$(cd "$found" && pwd -P)" != "$(pwd -P)" ] || grep -q "FAILED TO LOAD" "$log"; then
  echo "FAIL: started from another folder the game did not find its data (exit $rc)"; fail=1
fi
# The executable's own folder comes first, before the source tree.
own=$(dirname "$bin")
if [ ! -e "$own/resource" ]; then
  mkdir "$own/resource"
  start_game "$elsewhere" "reading the game's data from"
  stop_game
  rmdir "$own/resource"
  if ! grep -q "reading the game's data from \"$(cd "$own" && pwd -P)\"" "$log"; then
    echo "FAIL: the executable's folder was not looked in first"; fail=1
  fi
fi

# With no data anywhere it says where it looked and exits with 427002 (250 in a shell), without
# a message screen for every missing file. A copy away from its build folder does not know the
# source tree.
mkdir -p "$elsewhere/bin"
cp "$bin" "$elsewhere/bin/warden"
(cd "$elsewhere" && timeout 10 bin/warden) >"$log" 2>&1
rc=$?
if [ "$rc" -ne 250 ] || ! grep -q "FAILED TO FIND THE GAME'S DATA.*$elsewhere/bin" "$log" \
   || grep -q "FAILED TO LOAD" "$log"; then
  echo "FAIL: without any data the game did not stop with 427002 (exit $rc)"; fail=1
fi

# SIGTERM while a message screen waits for Return (here the data folder is empty, so every
# load fails) ends the program in order within a second.
mkdir -p "$elsewhere/resource"
start_game "$elsewhere" "FAILED TO LOAD"
sleep 0.5
sent=$(date +%s%N)
kill -TERM "$pid"
for _ in $(seq 1 20); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
took=$(( ($(date +%s%N) - sent) / 1000000 ))
kill -KILL "$pid" 2>/dev/null
wait "$pid"
rc=$?
if [ "$rc" -ne 0 ] || [ "$took" -gt 1000 ]; then
  echo "FAIL: SIGTERM during a message screen: exit $rc after $took ms"; fail=1
fi
rm -rf "$elsewhere"

# Without a sound device start-up fails: the message stays up until the program is told to end
# (here by SIGTERM), then it ends with 427001 (249 as a shell sees it).
SDL_AUDIODRIVER=no-such-driver "$bin" >"$log" 2>&1 &
pid=$!
sleep 3
kill -TERM "$pid"
wait "$pid"
rc=$?
if [ "$rc" -ne 249 ]; then echo "FAIL: start-up without audio exited with $rc, not 249"; fail=1; fi

if [ "$fail" -ne 0 ]; then cat "$log"; echo "0 passed, 1 failed"; exit 1; fi
echo "program checks: 1 passed, 0 failed"
