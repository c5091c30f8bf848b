-- The one style of every picture: palette, the two fonts, and the recipes
-- the other descriptions share (clickable plates, labels, backdrops).
-- Deep navy grounds, cyan for what can be clicked, amber for hover, white
-- text of at least 16 pixels. Fonts come from Debian packages (see
-- assets/FONTS-NOTICE.txt): League Spartan for titles and labels, DejaVu
-- Sans for running text.

font = {
  display = "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-Bold.otf",
  body = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
  bodyBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
}

C = {
  black = "#000000",
  deep = "#03060f",
  navy = "#0a1533",
  navyLight = "#132a5c",
  plateTop = "#17325f",
  plateBottom = "#0b1a3b",
  hoverTop = "#2f63b0",
  hoverBottom = "#1a3f7e",
  cyan = "#2fe0ff",
  cyanDim = "#1a7d9c",
  amber = "#ffb340",
  amberLight = "#ffd68a",
  white = "#ffffff",
  grey = "#a9b6cc",
  green = "#3cf0a0",
  blue = "#6f8cff",
  red = "#ff4d5a",
}

-- A colour with an alpha (0..1).
function alpha(colour, a)
  return string.sub(colour, 1, 7) .. string.format("%02x", math.floor(a * 255 + 0.5))
end

-- The layers of several lists, in order, as one list.
function layers(...)
  local out = {}
  for _, list in ipairs({...}) do
    for _, layer in ipairs(list) do out[#out + 1] = layer end
  end
  return out
end

-- The largest size (from `size` down to 16) at which a line fits a width.
function fit(fontFile, size, s, width, tracking)
  while size > 16 and text_width(fontFile, size, s, tracking or 0) > width do size = size - 1 end
  return size
end

-- How far the capitals of a font reach above the baseline, per pixel of size.
capHeight = { [font.display] = 0.70, [font.body] = 0.73, [font.bodyBold] = 0.73 }

-- A clickable plate {x, y, w, h, r}: navy with a cyan rim and a faint cyan
-- halo; hovered, the same plate brighter with an amber rim and glow. The
-- halo stays under half opacity outside the plate.
function plate(p, hover)
  local shape = rect{x = p.x, y = p.y, w = p.w, h = p.h, r = p.r}
  local rim = outline{rect{x = p.x + 1, y = p.y + 1, w = p.w - 2, h = p.h - 2, r = p.r - 1}, w = 2}
  local top = hover and C.hoverTop or C.plateTop
  local bottom = hover and C.hoverBottom or C.plateBottom
  return {
    glow{shape, paint = alpha(hover and C.amber or C.cyan, hover and 0.9 or 0.5), radius = hover and 5 or 3,
         strength = 1},
    fill{shape, paint = linear(0, p.y, 0, p.y + p.h, {{0, top}, {1, bottom}}, 0.012)},
    fill{intersect{shape, rect{x = p.x, y = p.y, w = p.w, h = math.floor(p.h * 0.45)}},
         paint = alpha(C.white, hover and 0.12 or 0.06)},
    fill{rim, paint = hover and C.amber or C.cyan},
  }
end

-- A centred one-line label in the display font, white; hovered with a warm glow.
function label(s, cx, baseline, size, hover)
  local t = text{s, font = font.display, size = size, x = cx, y = baseline, align = "centre", tracking = 1.5}
  local out = {}
  if hover then out[#out + 1] = glow{t, paint = alpha(C.amberLight, 0.7), radius = 3, strength = 1.5} end
  out[#out + 1] = glow{t, paint = alpha(C.black, 0.6), radius = 1.5, dy = 1}
  out[#out + 1] = fill{t, paint = C.white}
  return out
end

-- The baseline that centres capitals of a size on a plate.
function centredBaseline(p, fontFile, size)
  return math.floor(p.y + p.h / 2 + size * capHeight[fontFile] / 2 + 0.5)
end

-- A button picture, normal or hover: the plate and its label.
function button(name, s, hover, p, w, h)
  local size = fit(font.display, 22, s, p.w - 16, 1.5)
  picture{name = name, width = w or 160, height = h or 80,
          layers = layers(plate(p, hover), label(s, p.x + p.w / 2, centredBaseline(p, font.display, size), size, hover))}
end

-- A backdrop of the screens: deep navy around a vanishing point (vx, vy),
-- the rings and ribs of a tunnel running into it, faint stars, the edges
-- fading to black (the window around a picture is black).
function backdrop(w, h, vx, vy, seed)
  local out = {
    fill{whole(), paint = radial(vx, vy, w * 0.75, h * 0.9, {{0, "#16306a"}, {0.45, "#0a1636"}, {1, C.deep}}, 0.01)},
    fill{stars{count = math.floor(w * h / 2500), seed = seed, r = 1.3}, paint = alpha("#cfe8ff", 0.8)},
  }
  -- Tunnel rings: ellipses growing by a constant ratio, fainter near the middle.
  local r = 26
  for k = 1, 11 do
    local a = math.min(0.55, 0.08 + 0.045 * k)
    out[#out + 1] = fill{outline{ellipse{x = vx, y = vy, rx = r * 1.45, ry = r}, w = 1.2 + k * 0.12},
                         paint = alpha(C.cyanDim, a)}
    r = r * 1.38
  end
  -- Ribs: lines from the vanishing point outward.
  for k = 0, 15 do
    local angle = (k + 0.5) * math.pi / 8
    out[#out + 1] = fill{line{x1 = vx + math.cos(angle) * 40, y1 = vy + math.sin(angle) * 28,
                              x2 = vx + math.cos(angle) * w, y2 = vy + math.sin(angle) * w * 0.69, w = 1.2},
                         paint = alpha(C.cyanDim, 0.22)}
  end
  out[#out + 1] = glow{ellipse{x = vx, y = vy, rx = 60, ry = 40}, paint = alpha("#7fd8ff", 0.55), radius = 40,
                       blend = "add"}
  -- The picture's edges fade to black.
  out[#out + 1] = fill{whole(), paint = radial(w / 2, h / 2, w * 0.62, h * 0.66,
                                               {{0, alpha(C.black, 0)}, {0.72, alpha(C.black, 0)}, {1, C.black}})}
  return out
end

-- Rows fading from black at the top to clear at `rows`.
function topFade(w, rows)
  return {fill{rect{x = 0, y = 0, w = w, h = rows},
               paint = linear(0, 0, 0, rows, {{0, C.black}, {0.35, alpha(C.black, 0.85)}, {1, alpha(C.black, 0)}})}}
end

-- A translucent navy panel with a cyan hairline; with `open`, its last
-- `open` rows fade out, hairline and all.
function panel(x, y, w, h, r, a, open)
  local shape = rect{x = x, y = y, w = w, h = h, r = r}
  a = a or 0.72
  local fade = open and (1 - open / h) or 1
  return {
    fill{shape, paint = linear(0, y, 0, y + h, {{0, alpha("#0f2250", a)}, {fade, alpha("#060e24", a)},
                                                 {1, alpha("#060e24", open and 0 or a)}})},
    fill{outline{rect{x = x + 0.5, y = y + 0.5, w = w - 1, h = h - 1, r = r}, w = 1.2},
         paint = linear(0, y, 0, y + h, {{0, alpha(C.cyan, 0.45)}, {fade, alpha(C.cyan, 0.45)},
                                         {1, alpha(C.cyan, open and 0 or 0.45)}})},
  }
end

-- The picture's border rows and columns darkening to black at the edge.
function edgeFade(w, h, px)
  local clear, black = alpha(C.black, 0), C.black
  return {
    fill{rect{x = 0, y = 0, w = w, h = px}, paint = linear(0, 0, 0, px, {{0, black}, {1, clear}})},
    fill{rect{x = 0, y = h - px, w = w, h = px}, paint = linear(0, h, 0, h - px, {{0, black}, {1, clear}})},
    fill{rect{x = 0, y = 0, w = px, h = h}, paint = linear(0, 0, px, 0, {{0, black}, {1, clear}})},
    fill{rect{x = w - px, y = 0, w = px, h = h}, paint = linear(w, 0, w - px, 0, {{0, black}, {1, clear}})},
  }
end

-- A heading in the display font with a cyan glow.
function heading(s, x, y, size, align, colour)
  local t = text{s, font = font.display, size = size, x = x, y = y, align = align or "centre", tracking = size / 12}
  return {
    glow{t, paint = alpha(C.cyan, 0.5), radius = size / 8, strength = 1.4, blend = "add"},
    fill{t, paint = colour or C.white},
  }
end

-- Running text in the body font.
function body(s, x, y, size, options)
  options = options or {}
  local t = text{s, font = options.bold and font.bodyBold or font.body, size = size, x = x, y = y,
                 align = options.align or "left", wrap = options.wrap, line = options.line}
  return {
    glow{t, paint = alpha(C.black, 0.7), radius = 1.5, dy = 1},
    fill{t, paint = options.colour or C.white},
  }
end
