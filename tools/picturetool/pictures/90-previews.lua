-- Previews for the contact sheet only: the pictures placed as the game
-- places them in a 1024 x 768 window (the pause screen, the heads-up
-- display, the results screen), with the game's own texts in DejaVu Sans
-- Mono, its stand-in for "lucon.ttf".

local W, H = 1024, 768
local mono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"
local function at(x, y) return W / 2 + x, H / 2 - y end
local function place(name, x, y)
  local px, py = at(x, y)
  return image{name, x = px, y = py}
end
local function say(s, x, y, size, colour)
  local px, py = at(x, y)
  return fill{text{s, font = mono, size = size, x = px, y = py}, paint = colour}
end
local ground = {
  fill{whole(), paint = radial(W / 2, H / 2 - 60, 700, 520, {{0, "#3a4f70"}, {0.6, "#1a2436"}, {1, "#06080c"}})},
  fill{ellipse{x = W / 2, y = H / 2 + 230, rx = 40, ry = 18}, paint = "#c8ccd4"},
}

preview{name = "preview_hud", width = W, height = H, layers = layers(ground, {
  place("NEW_HUD_circle_lives", 127, -306),
  place("NEW_HUD_healthbar_back", -42, -230.4),
  place("NEW_HUD_energybar_back", 21, -230.4),
  place("NEW_HUD_Healthbar_11", -42, -230.4),
  place("NEW_HUD_Energybar_6", 21, -230.4),
  place("status_shields_active", -400, -150),
  place("status_weapons_active", -400, -200),
  place("status_boost_disabled", -400, -250),
  place("Countdown_2", 0, 25),
  say("1500", -172, -317, 16, "#00ff00"),
  say("x3", 150, -317, 16, C.white),
  say("68", -244, -154, 16, "#80ff80"),
  say("37", 213, -154, 16, "#9999ff"),
  place("cursor", 300, 100),
})}

preview{name = "preview_pause", width = W, height = H, layers = layers(ground, {
  place("paused", 0, 250),
  place("ResumeButton", 0, 100),
  place("RestartButton2", 0, 50),
  place("ControlsButton", 0, 0),
  place("OptionsButton", 0, -50),
  place("QuitButton", 0, -100),
  place("cursor", 20, 40),
})}

local results = {
  {"Time: 83.25", 320}, {"Lives Remaining: 2", 290}, {"Health Remaining: 60", 260}, {"Average Speed: 40 mps", 230},
  {"Distance Traveled: 5321 m", 200}, {"Points Scored: 1500", 170},
}
local resultLayers = {place("Black", 0, 220)}
for _, r in ipairs(results) do resultLayers[#resultLayers + 1] = say(r[1], -200, r[2], 18, C.white) end
resultLayers[#resultLayers + 1] = say("Total Score: 42661", -200, 120, 24, "#ffcc4d")
preview{name = "preview_results", width = W, height = H, layers = layers(ground, resultLayers, {
  place("RestartButton", 0, 0),
  place("continue_glow", 1, -53),
  place("QuitButton", 0, -108),
  place("cursor", 30, -40),
})}
