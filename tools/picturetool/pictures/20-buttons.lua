-- The buttons, each a normal and a hover picture. A plate lies inside the
-- button's mouse rectangle on every screen that shows it, the rest of the
-- picture is clear (under half opacity). With the quad's rows counted from
-- its top:
-- - 160 x 80 buttons: the rectangles cover rows 35 to 74 (start, pause,
--   controls, credits and options screens), Quit's on the results screen
--   27 to 66 and after a game over 32 to 71, Continue's 32 to 71: the plate
--   takes rows 35 to 66, the whole width but a margin.
-- - Resolution buttons (options screen): columns 20 to 159, rows 30 to 79.
-- - On / off buttons (140 x 140): columns 40 to 129, rows 35 to 139.

local textPlate = {x = 6, y = 35, w = 148, h = 32, r = 9}
for _, b in ipairs{
  {"PlayButton", "PlayButton2", "PLAY"},
  {"OptionsButton", "OptionsButton2", "OPTIONS"},
  {"ControlsButton", "ControlsButton2", "CONTROLS"},
  {"CreditsButton", "CreditsButton2", "CREDITS"},
  {"QuitButton", "QuitButton2", "QUIT"},
  {"ResumeButton", "ResumeButton2", "RESUME"},
  {"RestartButton", "RestartButton2", "RESTART"},
  {"BackButton", "BackButton2", "BACK"},
  {"continue_noglow", "continue_glow", "CONTINUE"},
} do
  button(b[1], b[3], false, textPlate)
  button(b[2], b[3], true, textPlate)
end

local resolutionPlate = {x = 24, y = 34, w = 132, h = 40, r = 9}
for _, size in ipairs{{800, 600}, {1280, 720}, {1600, 900}, {1920, 1080}} do
  local s = size[1] .. " × " .. size[2]
  local stem = "res_" .. size[1] .. "x" .. size[2]
  button(stem .. "_noglow", s, false, resolutionPlate)
  button(stem .. "_glow", s, true, resolutionPlate)
end

-- On / off: the plate, a lamp (lit for on) and the word.
local switchPlate = {x = 43, y = 38, w = 84, h = 98, r = 14}
for _, kind in ipairs{"on", "off"} do
  for _, hover in ipairs{false, true} do
    local lampShape = ellipse{x = 85, y = 70, r = 15}
    local lamp
    if kind == "on" then
      lamp = {
        glow{lampShape, paint = alpha(hover and C.amberLight or C.cyan, 0.9), radius = 6, strength = 1.3},
        fill{lampShape, paint = radial(81, 66, 18, 18, {{0, C.white}, {0.5, hover and C.amberLight or "#9ff3ff"},
                                                         {1, hover and C.amber or C.cyan}})},
      }
    else
      lamp = {
        fill{lampShape, paint = radial(81, 66, 18, 18, {{0, "#2a3a5c"}, {1, "#0c152c"}})},
        fill{outline{ellipse{x = 85, y = 70, r = 14}, w = 2.5}, paint = hover and C.amber or C.cyanDim},
        fill{line{x1 = 77, y1 = 62, x2 = 93, y2 = 78, w = 2.5}, paint = hover and C.amberLight or C.grey},
      }
    end
    local word = string.upper(kind)
    picture{name = "button_" .. kind .. (hover and "_glow" or "_noglow"), width = 140, height = 140,
            layers = layers(plate(switchPlate, hover), lamp, label(word, 85, 122, 24, hover))}
  end
end
