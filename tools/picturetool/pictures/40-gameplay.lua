-- Textures that play sets on models for a moment (hits), laid over models' own UVs (so they tile
-- and have mip chains):
-- - "FLASH_red": the diffuse texture an object shows for a moment when a
--   bullet hits it: hot red with brighter streaks.
-- - "NEW_playership_impact.glow": the glow map the ship shows when an enemy
--   shot hits it: an orange-white burn with cracks, black (no glow) between.

do
  local w = 64
  local streaks = {}
  for k = 0, 3 do
    streaks[#streaks + 1] = line{x1 = k * 16 - 8, y1 = 0, x2 = k * 16 + 8, y2 = w, w = 3}
  end
  picture{name = "FLASH_red", width = w, height = w, mips = true, layers = {
    fill{whole(), paint = radial(32, 32, 46, 46, {{0, "#ff6a4a"}, {1, "#d01020"}}, 0.04)},
    fill{union(streaks), paint = alpha("#ffc0a0", 0.5)},
  }}
end

do
  local w = 128
  local cracks = {}
  local points = {{64, 64}, {20, 30}, {100, 18}, {116, 90}, {70, 120}, {12, 98}, {40, 8}, {124, 50}}
  for k = 2, #points do
    cracks[#cracks + 1] = line{x1 = points[1][1], y1 = points[1][2], x2 = points[k][1], y2 = points[k][2],
                               w = 2.5 - k * 0.15}
  end
  local burn = union(cracks)
  picture{name = "NEW_playership_impact.glow", width = w, height = w, mips = true, layers = {
    fill{whole(), paint = C.black},
    fill{whole(), paint = radial(64, 64, 70, 70, {{0, "#ff9a3a"}, {0.5, "#a02c08"}, {1, "#200400"}}, 0.03)},
    glow{burn, paint = "#ffb040", radius = 4, strength = 1.4, blend = "add"},
    fill{burn, paint = "#fff0c0"},
  }}
end
