#!/usr/bin/env bash
# fuzz-model.sh [seconds]: builds the model file fuzz target with clang and
# libFuzzer in build-fuzz/ and runs it (60 s by default) from seed files that
# modeltool makes out of fuzz/seeds/model/*.obj. Fails on any crash, hang,
# sanitizer report or leak the fuzzer finds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
source scripts/fuzz_target.sh
fuzz_build fuzz_model_file modeltool

corpus="$dir/corpus/model"
mkdir -p "$corpus"
for obj in fuzz/seeds/model/*.obj; do
  name=$(basename "$obj" .obj)
  "$dir/tools/modeltool/modeltool" "$obj" "$corpus/$name-0.bin" >/dev/null
  "$dir/tools/modeltool/modeltool" --type 2 --tbm2 "$obj" "$corpus/$name-2.bin" >/dev/null
  "$dir/tools/modeltool/modeltool" --type 5 --as-is "$obj" "$corpus/$name-5.bin" >/dev/null
done

fuzz_run "model file reader" fuzz_model_file "$seconds" 4096 "$corpus"
