#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it
# (style in .clang-format). Lists the files that need `scripts/format.sh`.
set -uo pipefail
cd "$(dirname "$0")/.."
bad=()
while IFS= read -r f; do
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then bad+=("$f"); fi
done < <(git ls-files '*.cpp' '*.h')
if [ ${#bad[@]} -ne 0 ]; then
  echo "Not formatted (run scripts/format.sh):"; printf '  %s\n' "${bad[@]}"; exit 1
fi
echo "Formatting: ok"
