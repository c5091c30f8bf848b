#!/usr/bin/env bash
# fuzz.sh [seconds]: runs every fuzz target script (scripts/fuzz-*.sh), each
# for the given time (60 s by default). A target that finds a crash, hang,
# sanitizer report or leak fails the run. Called by test.sh.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0
for script in scripts/fuzz-*.sh; do
  [ -f "$script" ] || continue
  bash "$script" "$@" || { echo "FUZZ FAILED: $script"; status=1; }
done
exit $status
