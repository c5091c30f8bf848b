-- The screens' still pictures, from the splash screen to the options
-- screen: the studio logo, the title and options backgrounds, how to play,
-- credits, the pause title, the results panel and the cursor. Full-window
-- pictures are opaque 24-bit; their sizes are the quads' sizes, so they show
-- pixel for pixel.

-- The splash screen's logo (1000 x 563 at the window centre): the studio
-- Tarnbow, a bow of light over a mountain lake and its reflection.
do
  local w, h, cx, horizon = 1000, 563, 500, 300
  local bow = {}
  local colours = {C.amber, "#ff8a5c", C.cyan}
  for k = 1, 3 do
    local r = 150 - (k - 1) * 26
    local a = arc{x = cx, y = horizon, r = r, w = 14, from = 0, to = 180}
    bow[#bow + 1] = glow{a, paint = alpha(colours[k], 0.7), radius = 10, strength = 1.2, blend = "add"}
    bow[#bow + 1] = fill{a, paint = colours[k]}
    -- The reflection in the lake: the lower half, faint and striped.
    local mirror = intersect{arc{x = cx, y = horizon, r = r, w = 14, from = 180, to = 360},
                             union{rect{x = 0, y = horizon + 4, w = w, h = 6}, rect{x = 0, y = horizon + 16, w = w, h = 6},
                                   rect{x = 0, y = horizon + 28, w = w, h = 5}, rect{x = 0, y = horizon + 40, w = w, h = 5},
                                   rect{x = 0, y = horizon + 52, w = w, h = 4}, rect{x = 0, y = horizon + 66, w = w, h = 4},
                                   rect{x = 0, y = horizon + 80, w = w, h = 3}, rect{x = 0, y = horizon + 96, w = w, h = 3},
                                   rect{x = 0, y = horizon + 112, w = w, h = 2}, rect{x = 0, y = horizon + 130, w = w, h = 2}}}
    bow[#bow + 1] = fill{mirror, paint = linear(0, horizon, 0, horizon + 150, {{0, alpha(colours[k], 0.5)}, {1, alpha(colours[k], 0)}})}
  end
  local mountains = polygon{{0, horizon}, {150, 230}, {260, 270}, {380, 185}, {470, 250}, {560, 205}, {700, 262},
                            {820, 200}, {1000, horizon}}
  picture{name = "Tarnbow_Logo", width = w, height = h, format = "bgr", layers = layers(
    {fill{whole(), paint = radial(cx, horizon, 620, 400, {{0, "#10224c"}, {0.6, "#050b1c"}, {1, C.black}}, 0.008)},
     fill{stars{count = 120, seed = 7, r = 1.2}, paint = alpha("#cfe8ff", 0.7)},
     fill{mountains, paint = linear(0, 185, 0, horizon, {{0, "#1b2d57"}, {1, "#0a1430"}})},
     fill{rect{x = 0, y = horizon, w = w, h = h - horizon}, paint = linear(0, horizon, 0, h, {{0, "#0b1a3e"}, {1, C.black}})},
     fill{line{x1 = 40, y1 = horizon, x2 = 960, y2 = horizon, w = 1.5}, paint = alpha(C.cyan, 0.35)}},
    bow,
    heading("TARNBOW", cx, 440, 84, "centre"),
    {fill{text{"S T U D I O", font = font.body, size = 20, x = cx, y = 480, align = "centre", tracking = 3},
          paint = C.grey}},
    {fill{whole(), paint = radial(cx, h / 2, 560, 330, {{0, alpha(C.black, 0)}, {0.75, alpha(C.black, 0)}, {1, C.black}})}}
  )}
end

-- The start screen's title (1400 x 781.5, centred 100 pixels below the
-- window centre): screen point (x, y) is picture pixel (700 + x, 290.5 - y).
-- The game's name over a tunnel; the buttons (Play at y 50 to Quit at
-- y -150) stand on a darker panel; the top rows fade to black.
do
  local w, h = 1400, 781
  local function at(x, y) return 700 + x, 290.5 - y end
  local vx, vy = at(0, -40)
  local titleX, titleY = at(0, 132)
  local panelX, panelY = at(-125, 100)
  local footX, footY = at(0, -232)
  local name = text{"Q4nto", font = font.display, size = 150, x = titleX, y = titleY, align = "centre", tracking = 6}
  picture{name = "Title_clean", width = w, height = h, format = "bgr", layers = layers(
    backdrop(w, h, vx, vy, 11),
    panel(panelX, panelY, 250, 290, 18, 0.62),
    {glow{name, paint = alpha(C.cyan, 0.9), radius = 22, strength = 1.1, blend = "add"},
     glow{name, paint = alpha(C.black, 0.8), radius = 4, dy = 5},
     fill{name, paint = linear(0, titleY - 105, 0, titleY, {{0, C.white}, {0.55, "#bff4ff"}, {1, C.cyan}})}},
    body("A TARNBOW GAME", footX, footY, 18, {align = "centre", colour = C.grey}),
    topFade(w, 90)
  )}
end

-- The options screen's background (1400 x 781.5, centred 70 pixels below
-- the window centre): screen point (x, y) is picture pixel (700 + x,
-- 320.5 - y). Row labels left of the setting buttons (resolutions at
-- y 130 and 70, full screen at -35, sound at -170), the top fading to black.
do
  local w, h = 1400, 781
  local function at(x, y) return 700 + x, 320.5 - y end
  local vx, vy = at(0, -60)
  local hx, hy = at(0, 200)
  local px, py = at(-360, 160)
  local labelX = at(-330, 0)
  local _, resY = at(0, 86)
  local _, fullY = at(0, -54)
  local _, soundY = at(0, -189)
  local _, line1 = at(0, 20)
  local _, line2 = at(0, -116)
  local sx0 = at(-340, 0)
  local sx1 = at(340, 0)
  local function rowLabel(s, y, note)
    return layers(heading(s, labelX, y, 30, "left"),
                  body(note, labelX, y + 28, 17, {colour = C.grey}))
  end
  picture{name = "Options_screen_clean", width = w, height = h, format = "bgr", layers = layers(
    backdrop(w, h, vx, vy, 23),
    panel(px, py, 720, 445, 20, 0.7, 70),
    heading("OPTIONS", hx, hy, 60),
    rowLabel("RESOLUTION", resY, "Window size in pixels"),
    rowLabel("FULL SCREEN", fullY + 10, "Fill the whole display"),
    rowLabel("SOUND", soundY + 10, "Music and effects"),
    {fill{line{x1 = sx0, y1 = line1, x2 = sx1, y2 = line1, w = 1}, paint = alpha(C.cyan, 0.35)},
     fill{line{x1 = sx0, y1 = line2, x2 = sx1, y2 = line2, w = 1}, paint = alpha(C.cyan, 0.35)}},
    topFade(w, 120)
  )}
end

-- A key cap with its legend; returns the layers and the cap's right edge.
local function keycap(s, x, baseline)
  local size = 18
  local width = math.max(34, text_width(font.bodyBold, size, s) + 20)
  local shape = rect{x = x, y = baseline - 25, w = width, h = 34, r = 6}
  return {
    fill{shape, paint = linear(0, baseline - 25, 0, baseline + 9, {{0, "#24407a"}, {1, "#132650"}})},
    fill{outline{rect{x = x + 0.5, y = baseline - 24.5, w = width - 1, h = 33, r = 6}, w = 1.5}, paint = C.cyan},
    fill{text{s, font = font.bodyBold, size = size, x = x + width / 2, y = baseline - 1, align = "centre"},
         paint = C.white},
  }, x + width
end

-- The controls screen's picture (1000 x 563 at the window centre): the keys
-- and buttons of the game (steering, fire, boost, shield), Esc, energy, lives, pick-ups and the
-- HUD. The Back button covers the bottom rows 516 to 547, so they stay empty.
do
  local w, h = 1000, 563
  local out = {
    fill{whole(), paint = radial(500, 250, 700, 420, {{0, "#112553"}, {0.7, "#070f26"}, {1, C.black}}, 0.008)},
    fill{stars{count = 90, seed = 31, r = 1.1}, paint = alpha("#cfe8ff", 0.5)},
  }
  out = layers(out, heading("HOW TO PLAY", 500, 56, 44),
               body("Ride the track to its end: dodge, shoot, and keep your ship in one piece.", 500, 88, 18,
                    {align = "centre", colour = C.grey}),
               panel(24, 106, 458, 392, 14, 0.6), panel(506, 106, 470, 392, 14, 0.6),
               heading("KEYS AND BUTTONS", 44, 140, 22, "left", C.cyan),
               heading("THE RUN", 526, 140, 22, "left", C.cyan))
  -- Keys: caps, then what they do, and a grey note under some.
  local rows = {
    {{"A", "D"}, "Steer around the tunnel"},
    {{"W"}, "Boost (costs energy)"},
    {{"SHIFT"}, "Shield (drains energy)", "or hold the right mouse button"},
    {{"SPACE"}, "Fire straight ahead", "left mouse button: at the cursor"},
    {{"ESC"}, "Pause: resume, restart,\ncontrols, options or quit"},
  }
  local y = 188
  for _, row in ipairs(rows) do
    local x = 44
    for _, cap in ipairs(row[1]) do
      local caps
      caps, x = keycap(cap, x, y)
      out = layers(out, caps)
      x = x + 8
    end
    out = layers(out, body(row[2], 150, y, 20, {line = 25}))
    if row[3] then
      out = layers(out, body(row[3], 150, y + 25, 18, {colour = C.grey}))
      y = y + 22
    end
    y = y + 56
  end
  local facts = {
    {"ENERGY", "Boost and shield drain the tank; it refills\nslowly. Run it dry and both rest a while."},
    {"LIVES", "A crash costs a life and points.\nWith no life left the game is over."},
    {"PICK-UPS", "Mystery boxes and downed enemies\ngive points, energy and speed."},
    {"HUD", "Health left, energy right, points and lives\nbelow; lights for shields, weapons, boost."},
  }
  y = 182
  for _, fact in ipairs(facts) do
    out = layers(out, heading(fact[1], 526, y, 20, "left", C.amber),
                 body(fact[2], 526, y + 26, 18, {line = 23}))
    y = y + 82
  end
  picture{name = "HowtoPlay", width = w, height = h, format = "bgr", layers = layers(out, edgeFade(w, h, 18))}
end

-- The credits screen's picture (1000 x 563, centred 40 pixels above the
-- window centre): the studio, the engine, the libraries and the fonts with
-- their licences. The Back button covers the bottom rows from 556.
do
  local w, h = 1000, 563
  local libraries = {
    {"SDL2", "zlib licence"}, {"libepoxy", "MIT licence"}, {"Dear ImGui", "MIT licence"},
    {"stb", "MIT / public domain"}, {"OpenAL Soft", "LGPL 2.1 or later"},
    {"libsndfile", "LGPL 2.1 or later"}, {"Lua 5.1", "MIT licence"}, {"FreeType", "FreeType Licence"},
    {"libunwind", "MIT licence"},
  }
  local out = {
    fill{whole(), paint = radial(500, 250, 700, 420, {{0, "#112553"}, {0.7, "#070f26"}, {1, C.black}}, 0.008)},
    fill{stars{count = 90, seed = 43, r = 1.1}, paint = alpha("#cfe8ff", 0.5)},
  }
  out = layers(out, heading("CREDITS", 500, 58, 46),
               body("Q4nto, a game by the Tarnbow studio, built on the Kestrelvax engine", 500, 98, 20,
                    {align = "centre"}),
               panel(40, 122, 920, 410, 14, 0.6),
               heading("LIBRARIES", 70, 160, 22, "left", C.cyan),
               heading("FONTS", 70, 420, 22, "left", C.cyan))
  for i, lib in ipairs(libraries) do
    local column = (i - 1) % 2
    local row = math.floor((i - 1) / 2)
    local x, y = 70 + column * 450, 196 + row * 40
    out = layers(out, body(lib[1], x, y, 20, {bold = true}), body(lib[2], x + 168, y, 20, {colour = C.grey}))
  end
  local fonts = {{"League Spartan", "SIL Open Font License 1.1"}, {"DejaVu Sans", "Bitstream Vera and DejaVu licence"}}
  for i, f in ipairs(fonts) do
    local y = 456 + (i - 1) * 36
    out = layers(out, body(f[1], 70, y, 20, {bold = true}), body(f[2], 260, y, 20, {colour = C.grey}))
  end
  out = layers(out, heading("THANKS FOR PLAYING", 800, 475, 24, "centre", C.amber))
  picture{name = "Credits", width = w, height = h, format = "bgr", layers = layers(out, edgeFade(w, h, 18))}
end

-- The pause screen's title (320 x 160 at y 250): not clickable.
do
  local p = {x = 30, y = 40, w = 260, h = 80, r = 16}
  local shape = rect{x = p.x, y = p.y, w = p.w, h = p.h, r = p.r}
  picture{name = "paused", width = 320, height = 160, layers = layers(
    {glow{shape, paint = alpha(C.cyan, 0.55), radius = 10, strength = 1},
     fill{shape, paint = linear(0, p.y, 0, p.y + p.h, {{0, alpha("#163066", 0.95)}, {1, alpha("#081433", 0.95)}}, 0.01)},
     fill{outline{rect{x = p.x + 1, y = p.y + 1, w = p.w - 2, h = p.h - 2, r = p.r - 1}, w = 2}, paint = C.cyan}},
    heading("PAUSED", 160, 98, 50)
  )}
end

-- The results panel (500 x 300 at y 220): the labels (drawn by the game,
-- from x -200, y 320 down to the total at y 120) stand on it; a rule above
-- the total. Textless, so compressed.
do
  local shape = rect{x = 6, y = 6, w = 488, h = 288, r = 18}
  picture{name = "Black", width = 500, height = 300, format = "bc3", layers = {
    glow{shape, paint = alpha(C.cyan, 0.4), radius = 5, strength = 1},
    fill{shape, paint = linear(0, 6, 0, 294, {{0, alpha("#10235a", 0.93)}, {1, alpha("#050c22", 0.93)}}, 0.01)},
    fill{outline{rect{x = 7, y = 7, w = 486, h = 286, r = 17}, w = 2}, paint = alpha(C.cyan, 0.85)},
    fill{rect{x = 36, y = 34, w = 8, h = 186, r = 3}, paint = linear(0, 34, 0, 220, {{0, C.cyan}, {1, alpha(C.cyan, 0.2)}})},
    fill{line{x1 = 40, y1 = 224, x2 = 460, y2 = 224, w = 2}, paint = linear(40, 0, 460, 0,
         {{0, alpha(C.amber, 0)}, {0.2, C.amber}, {0.8, C.amber}, {1, alpha(C.amber, 0)}})},
  }}
end

-- The mouse cursor (30 x 30, its centre on the mouse point): a cyan reticle
-- with a dark rim so it reads on light and dark ground.
do
  local ring = ring{x = 15, y = 15, r = 8.5, w = 2}
  local ticks = union{line{x1 = 15, y1 = 1.5, x2 = 15, y2 = 7, w = 2}, line{x1 = 15, y1 = 23, x2 = 15, y2 = 28.5, w = 2},
                      line{x1 = 1.5, y1 = 15, x2 = 7, y2 = 15, w = 2}, line{x1 = 23, y1 = 15, x2 = 28.5, y2 = 15, w = 2}}
  local dot = ellipse{x = 15, y = 15, r = 1.8}
  local reticle = union{ring, ticks, dot}
  picture{name = "cursor", width = 30, height = 30, layers = {
    glow{reticle, paint = alpha(C.black, 0.9), radius = 1.2, strength = 2},
    fill{reticle, paint = radial(15, 15, 14, 14, {{0, C.white}, {0.3, C.cyan}, {1, "#7ff0ff"}})},
    fill{dot, paint = C.amber},
  }}
end
