#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test twice: a normal
# build (build/) and one with AddressSanitizer + UndefinedBehaviorSanitizer
# (build-asan/). Any failing test or sanitizer report fails the run.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh || exit 1

export MESA_SHADER_CACHE_DISABLE=true
export ALSOFT_DRIVERS=null
jobs=$(nproc)
status=0
failed=()  # what failed, repeated at the end: a CI log keeps only its tail
failed_suites=()

bash scripts/check-format.sh || { status=1; failed+=("format check"); }

run_suite() {  # run_suite <label> <build-dir>
  echo "=== $1: ctest"
  if ! ctest --test-dir "$2" --output-on-failure --timeout 300 -j "$jobs"; then
    status=1
    failed_suites+=("$2")
    local list="$2/Testing/Temporary/LastTestsFailed.log"
    if [ -f "$list" ]; then
      while IFS= read -r line; do failed+=("$1: ${line#*:}"); done <"$list"
    else
      failed+=("$1: ctest")
    fi
  fi
}

bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo || exit 1
run_suite normal build

bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DDD_SANITIZE=ON -DDD_BENCH=OFF || exit 1
# Sanitizer options per test kind are set by tests/CMakeLists.txt.
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
run_suite sanitized build-asan

if [ -x scripts/fuzz.sh ]; then
  bash scripts/fuzz.sh || { status=1; failed+=("fuzzing"); }
fi

# The failed tests once more, alone, with their output: whether they fail
# again on a quiet machine, and why. The status stays failed either way.
for dir in "${failed_suites[@]}"; do
  echo "=== $dir: the failed tests run again"
  ctest --test-dir "$dir" --rerun-failed --output-on-failure --timeout 300 2>&1 | tail -n 60
done

if [ $status -ne 0 ]; then
  echo "TESTS FAILED:"
  printf '  %s\n' "${failed[@]}"
else
  echo "ALL TESTS PASSED"
fi
exit $status
