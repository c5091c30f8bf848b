#!/usr/bin/env bash
# fuzz-game.sh [seconds]: builds the game-table fuzz target (scenes over every
# component class, played for a few headless frames) with clang and libFuzzer
# in build-fuzz/ and runs it (60 s by default) from the levels in
# assets/scene. Fails on any crash, hang, sanitizer report or leak the fuzzer
# finds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
source scripts/fuzz_target.sh
fuzz_build fuzz_game_tables

# The fuzzer adds what it finds to a working corpus; the levels stay as they are.
corpus="$dir/corpus/game"
mkdir -p "$corpus"
cp assets/scene/*.scn "$corpus/"

# The target writes a scene file for every input: keep them in memory.
if [ -d /dev/shm ]; then export TMPDIR=/dev/shm; fi
# No window, sound or device: the game runs headless.
export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null
fuzz_run "game tables" fuzz_game_tables "$seconds" 65536 "$corpus"
