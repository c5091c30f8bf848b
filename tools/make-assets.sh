#!/usr/bin/env bash
# Makes every binary asset of assets/ again from the sources in tools/,
# deterministically and without downloads:
#   bash tools/make-assets.sh [build dir, default build] [asset root, default assets]
# Each family has its own script beside its tool; this one runs them in turn.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
out="${2:-assets}"
for script in tools/picturetool/make-pictures.sh \
              tools/soundtool/make-sounds.sh \
              tools/demoassets/make-demo-assets.sh; do
  if [ -f "$script" ]; then
    echo "== $script"
    bash "$script" "$build" "$out"
  fi
done
