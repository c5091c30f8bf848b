#!/usr/bin/env bash
# fuzz-data.sh [seconds]: builds the data-file fuzz target (scene, archetype
# and reflected files) with clang and libFuzzer in build-fuzz/ and runs it
# (60 s by default) from the seed files in fuzz/corpus/data. Fails on any
# crash, hang, sanitizer report or leak the fuzzer finds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
dir=build-fuzz
if [ ! -f "$dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDD_FUZZ=ON -DDD_TESTS=OFF -DDD_BENCH=OFF >/dev/null
fi
cmake --build "$dir" --target fuzz_data_file >/dev/null

# The fuzzer adds what it finds to a working corpus; the seeds stay as they are.
corpus="$dir/corpus/data"
mkdir -p "$corpus"
cp fuzz/corpus/data/* "$corpus/"

# The target writes and renames scene files for every input: keep them in memory.
if [ -d /dev/shm ]; then export TMPDIR=/dev/shm; fi
echo "=== fuzz: data-file readers, ${seconds} s"
"$dir/fuzz/fuzz_data_file" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=8192 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
exit "${PIPESTATUS[0]}"
