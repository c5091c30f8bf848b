#!/usr/bin/env bash
# Pictures of the game's models, tunnels and skies as a player sees them:
#   bash tools/demoassets/preview-models.sh [build dir, default build] [out dir, default build/preview]
# Renders, with the screenshot tool, one small scene per model (the model
# from the front left and from the back right, lit as in a level) and one
# per level (a tunnel of its material under its sky), into <out>/<name>.png.
# The scenes live in a temporary asset root beside the real assets.
set -euo pipefail
export ALSOFT_DRIVERS=null MESA_SHADER_CACHE_DISABLE=true DD_FIXED_FRAME_TIME=0.0166667
cd "$(dirname "$0")/../.."
build="${1:-build}"
out="$(realpath -m "${2:-$build/preview}")"
cmake --build "$build" --target screenshot >/dev/null
mkdir -p "$out"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
for entry in assets/*; do ln -s "$(realpath "$entry")" "$root/$(basename "$entry")"; done
rm -f "$root/scene" "$root/log"
mkdir -p "$root/scene" "$root/log"

light='GlobalLighting = {AmbientIntensity = 0.35, DirectionalLightIntensity = 0.9, DirectionalLightColor = {z = 1, y = 0.95, x = 0.9, }, DirectionalLightingDirection = {z = -0.6, y = 1, x = -0.5, }, }'

# model, distance between the two copies, camera distance, sky
model_scene() {
  local name="$1" apart="$2"
  cat > "$root/scene/Preview_$name.scn" <<SCN
Archetypes = {
	"",
}

Instances = {
	{SceneGUID = 1000, Transform = {position = {x = -$apart, y = 0, z = 0, }, rotation = {w = 0.92388, y = 0.382683, }, }, Model = {filename = "$name", }, },
	{SceneGUID = 1001, Transform = {position = {x = $apart, y = 0, z = 0, }, rotation = {w = -0.382683, y = 0.92388, }, }, Model = {filename = "$name", }, },
	{SceneGUID = 1002, Transform = {}, Skybox = {filename = "Sky_Tutorial.dds", }, },
	{SceneGUID = 1003, $light, },
	{SceneGUID = 1004, Transform = {position = {x = 0, y = $apart, z = -$apart, }, }, PointLight = {mRange = $(( apart * 4 )), mDiffuse = {a = 1, b = 1, g = 0.8, r = 0.6, }, }, },
}

ParentChild = {
}

SplineCrawlers = {
}
SCN
}

shoot_model() {
  local name="$1" apart="$2" back="$3"
  model_scene "$name" "$apart"
  "$build/tools/screenshot/screenshot" --frames 4 --eye "0,$(( apart / 2 )),-$back" --at "0,0,0" \
    "$root" "Preview_$name" "$out/$name.png" >/dev/null
  echo "$out/$name.png"
}

shoot_model Ship 4 14
shoot_model Circler 6 20
shoot_model Orbiter 7 22
shoot_model Drone 5 16
shoot_model Rock 8 26
shoot_model Pillar 8 56
shoot_model MysteryBox 4 14
shoot_model Bullet 2 6
shoot_model EnemyShot 2 7

# A straight-ish tunnel of each level with the ship in it, under the sky.
tunnel_scene() {
  local level="$1" sky="$2"
  cat > "$root/scene/Preview_$level.scn" <<SCN
Archetypes = {
	"",
}

Instances = {
	{SceneGUID = 1000, Transform = {}, PlayerPath = {wps = {{pos = {z = 0, y = 0, x = 0, }, }, {pos = {z = 120, y = 0, x = 0, }, }, {pos = {z = 240, y = 10, x = 40, }, }, {pos = {z = 360, y = 0, x = 120, }, }, {pos = {z = 480, y = -10, x = 140, }, }, }, extrudeTunnelOverPath = true, tunnelRadius = 30, tunnelSideCount = 16, frameDelta = 20, material = {diffuseFileName = "$level", normalFileName = "$level.normal", specularFileName = "$level.specular", glowFileName = "$level.glow", tileFactor = {x = 2, y = 1, }, }, }, },
	{SceneGUID = 1001, Transform = {position = {x = 0, y = -24, z = 30, }, }, Model = {filename = "Ship", }, },
	{SceneGUID = 1002, Transform = {}, Skybox = {filename = "$sky", }, },
	{SceneGUID = 1003, $light, },
}

ParentChild = {
}

SplineCrawlers = {
}
SCN
  "$build/tools/screenshot/screenshot" --frames 4 --eye "0,-16,8" --at "0,-20,60" \
    "$root" "Preview_$level" "$out/$level.png" >/dev/null
  echo "$out/$level.png"
  # The sky alone, looking up and out towards its sun.
  cat > "$root/scene/Preview_$sky.scn" <<SCN
Archetypes = {
	"",
}

Instances = {
	{SceneGUID = 1000, Transform = {}, Skybox = {filename = "$sky", }, },
}

ParentChild = {
}

SplineCrawlers = {
}
SCN
  "$build/tools/screenshot/screenshot" --frames 4 --eye "0,0,0" --at "0.3,0.25,0.9" \
    "$root" "Preview_$sky" "$out/${sky%.dds}.png" >/dev/null
  echo "$out/${sky%.dds}.png"
}
# Everything together in a level's tunnel, at the sizes a level would use,
# seen from behind the ship.
showcase_scene() {
  local level="$1" sky="$2"
  cat > "$root/scene/Showcase_$level.scn" <<SCN
Archetypes = {
	"",
}

Instances = {
	{SceneGUID = 1000, Transform = {}, PlayerPath = {wps = {{pos = {z = 0, y = 0, x = 0, }, }, {pos = {z = 150, y = 0, x = 0, }, }, {pos = {z = 300, y = 20, x = 60, }, }, {pos = {z = 450, y = 0, x = 140, }, }, }, extrudeTunnelOverPath = true, tunnelRadius = 30, tunnelSideCount = 16, frameDelta = 20, material = {diffuseFileName = "$level", normalFileName = "$level.normal", specularFileName = "$level.specular", glowFileName = "$level.glow", tileFactor = {x = 2, y = 1, }, }, }, },
	{SceneGUID = 1001, Transform = {position = {x = 0, y = -22, z = 40, }, scale = 1.4, }, Model = {filename = "Ship", }, },
	{SceneGUID = 1002, Transform = {position = {x = 10, y = -6, z = 95, }, }, Model = {filename = "Circler", }, },
	{SceneGUID = 1003, Transform = {position = {x = -10, y = 6, z = 115, }, rotation = {w = 0.9659, y = 0.2588, }, }, Model = {filename = "Orbiter", }, },
	{SceneGUID = 1004, Transform = {position = {x = 12, y = -14, z = 72, }, rotation = {w = 0, y = 1, }, }, Model = {filename = "Drone", }, },
	{SceneGUID = 1005, Transform = {position = {x = -15, y = -16, z = 130, }, }, Model = {filename = "Rock", }, },
	{SceneGUID = 1006, Transform = {position = {x = 6, y = 0, z = 170, }, }, Model = {filename = "Pillar", }, },
	{SceneGUID = 1007, Transform = {position = {x = -7, y = -20, z = 66, }, rotation = {w = 0.9239, y = 0.3827, }, }, Model = {filename = "MysteryBox", }, },
	{SceneGUID = 1008, Transform = {position = {x = 0, y = -21, z = 56, }, }, Model = {filename = "Bullet", }, },
	{SceneGUID = 1009, Transform = {position = {x = 1, y = -20, z = 70, }, }, Model = {filename = "Bullet", }, },
	{SceneGUID = 1010, Transform = {position = {x = 7, y = -10, z = 82, }, }, Model = {filename = "EnemyShot", }, },
	{SceneGUID = 1011, Transform = {}, Skybox = {filename = "$sky", }, },
	{SceneGUID = 1012, $light, },
}

ParentChild = {
}

SplineCrawlers = {
}
SCN
  "$build/tools/screenshot/screenshot" --frames 4 --eye "0,-12,14" --at "0,-16,90" \
    "$root" "Showcase_$level" "$out/Showcase_$level.png" >/dev/null
  echo "$out/Showcase_$level.png"
}
showcase_scene Tunnel_Tutorial Sky_Tutorial.dds
showcase_scene Tunnel_Gold Sky_Gold.dds
showcase_scene Tunnel_Forward Sky_Forward.dds

tunnel_scene Tunnel_Tutorial Sky_Tutorial.dds
tunnel_scene Tunnel_Gold Sky_Gold.dds
tunnel_scene Tunnel_Forward Sky_Forward.dds

# The particle effects side by side, each started as the scene loads. The
# screenshot tool runs in real time, slower than a game, so the one-shot
# effects are made to burst again and again (8 times a second) here.
rm "$root/arch"
mkdir "$root/arch"
for effect in BoostTrail Explosion Impact ShotFlash; do
  sed 's/spawnRate = 0,/spawnRate = 8,/g; s/continuous = false/continuous = true/' \
    "assets/arch/$effect.arch" > "$root/arch/$effect.arch"
done
cat > "$root/scene/Preview_Effects.scn" <<SCN
Archetypes = {
	"",
	"BoostTrail",
	"Explosion",
	"Impact",
	"ShotFlash",
}

Instances = {
	{SceneGUID = 1000, Transform = {}, Skybox = {filename = "Sky_Tutorial.dds", }, },
	{SceneGUID = 1001, $light, },
}

BoostTrailInstances = {
	{SceneGUID = 1002, Transform = {position = {x = -14, y = 0, z = 0, }, }, ParticleEmmiter = {active = true, }, },
}

ExplosionInstances = {
	{SceneGUID = 1003, Transform = {position = {x = -4, y = 0, z = 0, }, }, ParticleEmmiter = {active = true, }, },
}

ImpactInstances = {
	{SceneGUID = 1004, Transform = {position = {x = 8, y = 0, z = 0, }, }, ParticleEmmiter = {active = true, }, },
}

ShotFlashInstances = {
	{SceneGUID = 1005, Transform = {position = {x = 15, y = 0, z = 0, }, }, ParticleEmmiter = {active = true, }, },
}

ParentChild = {
}

SplineCrawlers = {
}
SCN
for frames in ${EFFECT_FRAMES:-3 6 12}; do
  "$build/tools/screenshot/screenshot" --size 640x480 --frames "$frames" --eye "0,4,-44" --at "0,0,0" \
    "$root" Preview_Effects "$out/Effects_$frames.png" >/dev/null
  echo "$out/Effects_$frames.png"
done
