-- The heads-up display's pictures. Positions on screen are
-- pixels from the window centre, y up; the HUD's read-outs (16-pixel text)
-- stand at health (-244, -154), energy (213, -154), points (-172, -317) and
-- lives (150, -317).
--
-- Health and energy: two arcs of 16 segments around the ship (the shield
-- bubble's centre, (0, -230)), radius 232, health on the left rising from
-- the bottom to just under its read-out, energy mirrored on the right. Each
-- bar picture is 572 x 299 centred at (-42, -230) (health) or (21, -230)
-- (energy): screen (x, y) is health pixel (x + 328, -80.4 - y), energy pixel
-- (x + 265, -80.4 - y). "_back" is the empty track, "_1" to "_16" light that
-- many segments from the bottom up.

local barW, barH = 572, 299
local radius, step, gap = 232, 3, 0.7

-- Segment i (1 = bottom) of an arm: its angles and width.
local function segment(arm, i)
  local width = 13 + 0.6 * i
  if arm == "health" then
    return 214 - step * i + gap / 2, 214 - step * (i - 1) - gap / 2, width
  end
  return -34 + step * (i - 1) + gap / 2, -34 + step * i - gap / 2, width
end

local function centre(arm)
  if arm == "health" then return 328, 149.6 end
  return 265, 149.6
end

local function segments(arm, from, to)
  local cx, cy = centre(arm)
  local shapes = {}
  for i = from, to do
    local a0, a1, width = segment(arm, i)
    shapes[#shapes + 1] = arc{x = cx, y = cy, r = radius, w = width, from = a0, to = a1}
  end
  return union(shapes)
end

local function back(arm, name)
  local cx, cy = centre(arm)
  local a0 = arm == "health" and 166 - 1.5 or -34 - 1.5
  local track = arc{x = cx, y = cy, r = radius, w = 30, from = a0, to = a0 + 48 + 3}
  picture{name = name, width = barW, height = barH, format = "bc3", layers = {
    glow{track, paint = alpha(C.black, 0.5), radius = 4, strength = 1},
    fill{track, paint = alpha("#0a1838", 0.62)},
    fill{outline{arc{x = cx, y = cy, r = radius, w = 29, from = a0, to = a0 + 51}, w = 1.2},
         paint = alpha(C.cyan, 0.55)},
    fill{segments(arm, 1, 16), paint = alpha("#3a5a8c", 0.45)},
  }}
end

-- Health turns amber at half and red at a quarter; energy is blue throughout.
local function lit(arm, k)
  local colour, light
  if arm == "energy" then
    colour, light = C.blue, "#b9c7ff"
  elseif k > 8 then
    colour, light = C.green, "#b8ffe0"
  elseif k > 4 then
    colour, light = C.amber, C.amberLight
  else
    colour, light = C.red, "#ffb0b5"
  end
  local cx, cy = centre(arm)
  local shape = segments(arm, 1, k)
  return {
    glow{shape, paint = alpha(colour, 0.8), radius = 5, strength = 1.2, blend = "add"},
    fill{shape, paint = radial(cx, cy, radius + 12, radius + 12, {{0, colour}, {0.93, colour}, {1, light}})},
  }
end

back("health", "NEW_HUD_healthbar_back")
back("energy", "NEW_HUD_energybar_back")
for k = 1, 16 do
  picture{name = "NEW_HUD_Healthbar_" .. k, width = barW, height = barH, format = "bc3", layers = lit("health", k)}
  picture{name = "NEW_HUD_Energybar_" .. k, width = barW, height = barH, format = "bc3", layers = lit("energy", k)}
end

-- The lives emblem (40 x 40, at (127, -306), left of the "x3" read-out).
do
  local ring = ring{x = 20, y = 20, r = 16.5, w = 3}
  local ship = polygon{{20, 8}, {30, 29}, {20, 24}, {10, 29}}
  picture{name = "NEW_HUD_circle_lives", width = 40, height = 40, layers = {
    fill{ellipse{x = 20, y = 20, r = 18}, paint = alpha("#0a1838", 0.75)},
    glow{ring, paint = alpha(C.cyan, 0.7), radius = 2, strength = 1.2},
    fill{ring, paint = C.cyan},
    fill{ship, paint = linear(0, 8, 0, 29, {{0, C.white}, {1, "#9fe9ff"}})},
  }}
end

-- Status lights (312 x 48 at x -400, y -150 / -200 / -250; the leftmost
-- 50 pixels stay clear, being off screen at 1024 x 768): a plate with a
-- lamp, the ability and its state.
for _, ability in ipairs{{"shields", "SHIELDS"}, {"weapons", "WEAPONS"}, {"boost", "BOOST"}} do
  for _, state in ipairs{"disabled", "active"} do
    local on = state == "active"
    local plateShape = rect{x = 56, y = 6, w = 248, h = 36, r = 10}
    local lampShape = ellipse{x = 78, y = 24, r = 8}
    local name = text{ability[2], font = font.display, size = 20, x = 96, y = 31, tracking = 1.5}
    local word = text{on and "READY" or "OFF", font = font.body, size = 16, x = 294, y = 30, align = "right"}
    local out = {
      fill{plateShape, paint = linear(0, 6, 0, 42, {{0, alpha("#12285a", 0.8)}, {1, alpha("#071230", 0.8)}})},
      fill{outline{rect{x = 57, y = 7, w = 246, h = 34, r = 9}, w = 1.5}, paint = on and C.cyan or alpha(C.grey, 0.5)},
    }
    if on then
      out = layers(out, {
        glow{lampShape, paint = alpha(C.cyan, 0.9), radius = 4, strength = 1.5, blend = "add"},
        fill{lampShape, paint = radial(76, 22, 9, 9, {{0, C.white}, {0.5, "#9ff3ff"}, {1, C.cyan}})},
        fill{name, paint = C.white},
        fill{word, paint = C.cyan},
      })
    else
      out = layers(out, {
        fill{lampShape, paint = radial(76, 22, 9, 9, {{0, "#3a4660"}, {1, "#1a2236"}})},
        fill{line{x1 = 73, y1 = 19, x2 = 83, y2 = 29, w = 2}, paint = C.grey},
        fill{name, paint = "#8893aa"},
        fill{word, paint = "#8893aa"},
      })
    end
    picture{name = "status_" .. ability[1] .. "_" .. state, width = 312, height = 48, layers = out}
  end
end

-- The countdown (150 x 100 at (0, 25)): 3, 2, 1 in white with a cyan glow,
-- then GO in amber.
for _, c in ipairs{{"Countdown_3", "3"}, {"Countdown_2", "2"}, {"Countdown_1", "1"}, {"Countdown_go", "GO!"}} do
  local go = c[2] == "GO!"
  local size = go and 72 or 92
  local t = text{c[2], font = font.display, size = size, x = 75, y = 50 + size * 0.35, align = "centre", tracking = 2}
  picture{name = c[1], width = 150, height = 100, layers = {
    glow{t, paint = alpha(C.black, 0.75), radius = 6, strength = 1.5},
    glow{t, paint = alpha(go and C.amber or C.cyan, 0.9), radius = 7, strength = 1.6, blend = "add"},
    fill{t, paint = linear(0, 50 - size * 0.35, 0, 50 + size * 0.35,
                           go and {{0, C.white}, {1, C.amber}} or {{0, C.white}, {1, "#aef3ff"}})},
  }}
end

-- The shield bubble's skin (a sphere of radius 158 around the ship; u goes
-- around, v from pole to pole): a faint cyan film with a diamond lattice
-- of brighter lines that wraps seamlessly, brightest at the equator.
do
  local w, h = 512, 256
  local lines = {}
  for k = -8, 16 do
    local x = k * 32
    lines[#lines + 1] = line{x1 = x, y1 = 0, x2 = x + h, y2 = h, w = 2}
    lines[#lines + 1] = line{x1 = x + h, y1 = 0, x2 = x, y2 = h, w = 2}
  end
  local lattice = union(lines)
  picture{name = "NEW_player_shield", width = w, height = h, format = "bc3", mips = true, layers = {
    fill{whole(), paint = linear(0, 0, 0, h, {{0, alpha("#1a7dc8", 0.10)}, {0.5, alpha(C.cyan, 0.22)},
                                              {1, alpha("#1a7dc8", 0.10)}}, 0.02)},
    glow{lattice, paint = alpha(C.cyan, 0.35), radius = 3, strength = 1},
    fill{lattice, paint = linear(0, 0, 0, h, {{0, alpha("#7fdcff", 0.3)}, {0.5, alpha("#d8f8ff", 0.7)},
                                              {1, alpha("#7fdcff", 0.3)}})},
  }}
end
