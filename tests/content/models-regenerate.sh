#!/usr/bin/env bash
# Runs the model, texture and particle tools into a temporary folder and
# compares every file they write with the committed one, byte for byte:
#   bash tests/content/models-regenerate.sh <build dir> <source dir>
set -euo pipefail
build="$1"
source="$2"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
bash "$source/tools/demoassets/run-demo-tools.sh" "$build" "$tmp/assets" "$tmp/obj" >/dev/null
failed=0
compare() {
  local made="$1" committed="$2"
  if ! cmp -s "$made" "$committed"; then
    echo "differs from the tools' output: $committed"
    failed=1
  fi
}
for made in "$tmp/obj"/*; do compare "$made" "$source/tools/demoassets/models/$(basename "$made")"; done
count=0
while IFS= read -r -d '' made; do
  compare "$made" "$source/assets/${made#"$tmp/assets/"}"
  count=$((count + 1))
done < <(find "$tmp/assets" -type f -print0)
# Every OBJ source committed is one the tool still makes.
for committed in "$source/tools/demoassets/models"/*; do
  [ -f "$tmp/obj/$(basename "$committed")" ] || { echo "no longer made: $committed"; failed=1; }
done
if [ "$failed" -ne 0 ]; then
  exit 1
fi
echo "$count files and their OBJ sources made again byte for byte"
