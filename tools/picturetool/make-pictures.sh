#!/usr/bin/env bash
# Makes the game's pictures again from their descriptions:
#   bash tools/picturetool/make-pictures.sh [build dir, default build] [asset root, default assets]
# Draws every picture of tools/picturetool/pictures/*.lua (in name order) into
# <asset root>/texture/<name>.dds and writes the contact sheet of all of them
# to <build dir>/pictures/contact-sheet.png. The fonts come from Debian
# packages that scripts/install-deps.sh installs (assets/FONTS-NOTICE.txt).
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
out="${2:-assets}"
cmake --build "$build" --target picturetool
mkdir -p "$out/texture" "$build/pictures"
"$build/tools/picturetool/picturetool" "$out/texture" tools/picturetool/pictures/*.lua \
  --sheet "$build/pictures/contact-sheet.png" >/dev/null
echo "pictures: $out/texture, contact sheet: $build/pictures/contact-sheet.png"
