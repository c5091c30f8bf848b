#!/usr/bin/env bash
# Makes the models, model textures, tunnel materials, sky boxes and particle
# effects of the asset tree again, byte for byte:
#   bash tools/demoassets/make-demo-assets.sh [build dir, default build] [asset root, default assets]
# demoassets --obj writes the game models' OBJ sources (tools/demoassets/models),
# modeltool turns each into model/<Name>.bin, demoassets writes the textures
# and sky cubes, particletex the particle masks and particlearch the particle
# archetypes.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
out="${2:-assets}"
cmake --build "$build" --target modeltool demoassets particletex particlearch
bash tools/demoassets/run-demo-tools.sh "$build" "$out" tools/demoassets/models
