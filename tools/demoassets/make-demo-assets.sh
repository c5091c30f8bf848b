#!/usr/bin/env bash
# Makes the demo scene's binary assets again from their sources:
#   bash tools/demoassets/make-demo-assets.sh [build dir, default build]
# model/Ship.bin from Ship.obj (modeltool), the hull textures and the sky cube
# (demoassets).
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
cmake --build "$build" --target modeltool demoassets
mkdir -p assets/model
"$build/tools/modeltool/modeltool" tools/demoassets/Ship.obj assets/model/Ship.bin
"$build/tools/demoassets/demoassets" assets
