#!/usr/bin/env bash
# Installs what is needed, builds, and starts the game from the asset root.
# Extra arguments go to the program ("-e" opens the level editor).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd assets
exec ../build/app/DevozizuDave "$@"
