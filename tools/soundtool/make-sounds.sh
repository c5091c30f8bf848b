#!/usr/bin/env bash
# Makes the sound effects and music again from their recipes:
#   bash tools/soundtool/make-sounds.sh [build dir, default build] [asset root, default assets]
# tools/soundtool/recipes/sfx/<name>.txt -> <asset root>/sfx/<name>.wav
# tools/soundtool/recipes/bgm/<name>.txt -> <asset root>/bgm/<name>.ogg
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
out="${2:-assets}"
cmake --build "$build" --target soundtool
"$build/tools/soundtool/soundtool" tools/soundtool/recipes "$out"
