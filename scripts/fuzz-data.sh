#!/usr/bin/env bash
# fuzz-data.sh [seconds]: builds the data-file fuzz target (scene, archetype
# and reflected files) with clang and libFuzzer in build-fuzz/ and runs it
# (60 s by default) from the seed files in fuzz/corpus/data. Fails on any
# crash, hang, sanitizer report or leak the fuzzer finds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
source scripts/fuzz_target.sh
fuzz_build fuzz_data_file

# The fuzzer adds what it finds to a working corpus; the seeds stay as they are.
corpus="$dir/corpus/data"
mkdir -p "$corpus"
cp fuzz/corpus/data/* "$corpus/"

# The target writes and renames scene files for every input: keep them in memory.
if [ -d /dev/shm ]; then export TMPDIR=/dev/shm; fi
fuzz_run "data-file readers" fuzz_data_file "$seconds" 8192 "$corpus"
