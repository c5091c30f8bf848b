#!/usr/bin/env bash
# Sourced by the fuzz target scripts (scripts/fuzz-*.sh; this file's name keeps
# it out of that pattern). Sets the shared build folder and offers the build
# and run steps every target takes alike.
dir=build-fuzz

# fuzz_build <cmake target>...: configures build-fuzz/ with clang and libFuzzer
# once and builds the given targets.
fuzz_build() {
  if [ ! -f "$dir/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DDD_FUZZ=ON -DDD_TESTS=OFF -DDD_BENCH=OFF >/dev/null
  fi
  cmake --build "$dir" --target "$@" >/dev/null
}

# fuzz_run <label> <target> <seconds> <max input bytes> <corpus>: runs the
# fuzzer and returns its status (a finding fails it).
fuzz_run() {
  echo "=== fuzz: $1, $3 s"
  "$dir/fuzz/$2" -max_total_time="$3" -timeout=10 -rss_limit_mb=2048 \
    -max_len="$4" -print_final_stats=1 "$5" 2>&1 | tail -n 12
  return "${PIPESTATUS[0]}"
}
