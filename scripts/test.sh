#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test twice: a normal
# build (build/) and one with AddressSanitizer + UndefinedBehaviorSanitizer
# (build-asan/). Any failing test or sanitizer report fails the run.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh || exit 1

export MESA_SHADER_CACHE_DISABLE=true
export ALSOFT_DRIVERS=null
jobs=$(nproc)
status=0

run_suite() {  # run_suite <label> <build-dir>
  echo "=== $1: ctest"
  ctest --test-dir "$2" --output-on-failure --timeout 300 -j "$jobs" || status=1
}

bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo || exit 1
run_suite normal build

bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DDD_SANITIZE=ON -DDD_BENCH=OFF || exit 1
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
run_suite sanitized build-asan

if [ -x scripts/fuzz.sh ]; then
  bash scripts/fuzz.sh || status=1
fi

if [ $status -ne 0 ]; then echo "TESTS FAILED"; else echo "ALL TESTS PASSED"; fi
exit $status
