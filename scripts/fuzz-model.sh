#!/usr/bin/env bash
# fuzz-model.sh [seconds]: builds the model file fuzz target with clang and
# libFuzzer in build-fuzz/ and runs it (60 s by default) from seed files that
# modeltool makes out of fuzz/seeds/model/*.obj. Fails on any crash, hang,
# sanitizer report or leak the fuzzer finds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
dir=build-fuzz
if [ ! -f "$dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDD_FUZZ=ON -DDD_TESTS=OFF -DDD_BENCH=OFF >/dev/null
fi
cmake --build "$dir" --target fuzz_model_file modeltool >/dev/null

corpus="$dir/corpus/model"
mkdir -p "$corpus"
for obj in fuzz/seeds/model/*.obj; do
  name=$(basename "$obj" .obj)
  "$dir/tools/modeltool/modeltool" "$obj" "$corpus/$name-0.bin" >/dev/null
  "$dir/tools/modeltool/modeltool" --type 2 --tbm2 "$obj" "$corpus/$name-2.bin" >/dev/null
  "$dir/tools/modeltool/modeltool" --type 5 --as-is "$obj" "$corpus/$name-5.bin" >/dev/null
done

echo "=== fuzz: model file reader, ${seconds} s"
"$dir/fuzz/fuzz_model_file" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=4096 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
exit "${PIPESTATUS[0]}"
