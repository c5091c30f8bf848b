#!/usr/bin/env bash
# Runs the already built asset tools of make-demo-assets.sh:
#   bash tools/demoassets/run-demo-tools.sh <build dir> <asset root> <OBJ folder>
# The OBJ sources are written to the OBJ folder and the models made from them.
set -euo pipefail
build="$1"
out="$2"
obj="$3"
tools="$build/tools"
mkdir -p "$out/model" "$out/texture" "$out/skybox" "$out/particle" "$out/arch" "$obj"
"$tools/demoassets/demoassets" --obj "$obj"
for source in "$obj"/*.obj; do
  "$tools/modeltool/modeltool" "$source" "$out/model/$(basename "$source" .obj).bin"
done
"$tools/demoassets/demoassets" "$out"
"$tools/particletex/particletex" "$out/particle"
"$tools/particletex/particlearch" "$out/arch"
