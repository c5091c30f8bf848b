-- UIShader: sky box, models and panels drawn straight onto the back buffer,
-- debug lines and screen text.
-- GLSL 4.50 stages; matrices are D3DX matrices (row vectors: write v * M);
-- texture coordinates and clip space follow Direct3D (v down, depth 0..1).
-- Vertex inputs are named after their semantics.
--
-- Depth state: only the sky box, the plain panels, the text and the
-- "DepthLessEqual" technique set their own; the others draw with the depth
-- state and buffer the renderer binds (the per-frame models with depth off,
-- the depth-tested debug lines with depth on). "UiTechNoBlendDepthLessEqual"
-- keeps the renderer's rasterizer state too (the selection is drawn with it
-- in wireframe).

header = [[
vec4 Project(vec3 position, mat4 m) { return vec4(position, 1.0) * m; }
]]

variables = {
    { name = "WorldTrans", type = "float4x4" },
    { name = "ViewProjTrans", type = "float4x4" },
    { name = "skyBox", type = "TextureCube", filter = "LINEAR", address = "CLAMP" },
    { name = "guiWorldViewProj", type = "float4x4" },
    { name = "guiDiffuseMap", type = "Texture2D", filter = "LINEAR", address = "WRAP" },
    { name = "alphaVal", type = "float", value = 1.0 },
}

local modelVs = [[
in vec3 POSITION;
in vec3 NORMAL;
in vec2 TEXCOORD0;
out vec2 vUv;
out vec3 vColour;
void main() {
    gl_Position = Project(POSITION, guiWorldViewProj);
    vUv = TEXCOORD0;
    vColour = NORMAL;
}
]]

local texturedPs = [[
in vec2 vUv;
in vec3 vColour;
out vec4 colour;
void main() {
    vec4 texel = texture(guiDiffuseMap, vUv);
    colour = vec4(texel.rgb, texel.a * alphaVal);
}
]]

local alphaBlend = { enable = true, src = "SRC_ALPHA", dest = "INV_SRC_ALPHA", op = "ADD",
                     srcAlpha = "ONE", destAlpha = "INV_SRC_ALPHA", opAlpha = "ADD" }
local noBlend = { enable = false }
local bothSides = { cull = "NONE" }
local noDepth = { depthEnable = false, depthWrite = "ZERO" }

techniques = {
    -- The cube is seen from its centre whatever its place and size: its
    -- corners are projected as directions (w = 0), so only the object's
    -- rotation turns the sky, and they land on the far plane, behind
    -- everything the depth buffer holds.
    { name = "SkyboxTech", passes = { {
        vs = [[
in vec3 POSITION;
out vec3 vDirection;
void main() {
    vec3 direction = (vec4(POSITION, 0.0) * WorldTrans).xyz;
    vec4 clip = vec4(direction, 0.0) * ViewProjTrans;
    gl_Position = clip.xyww;
    vDirection = POSITION;
}
]],
        ps = [[
in vec3 vDirection;
out vec4 colour;
void main() { colour = vec4(texture(skyBox, vDirection).rgb, 1.0); }
]],
        depthStencil = { depthEnable = true, depthWrite = "ZERO", depthFunc = "LESS_EQUAL" },
        blend = noBlend,
        rasterizer = bothSides,
    } } },

    { name = "UiTech", passes = { {
        vs = modelVs, ps = texturedPs, blend = alphaBlend, rasterizer = bothSides,
    } } },

    { name = "UiTechNoBlend", passes = { {
        vs = modelVs, ps = texturedPs, blend = noBlend, rasterizer = bothSides,
    } } },

    { name = "UiTechNoBlendDepthLessEqual", passes = { {
        vs = modelVs, ps = texturedPs, blend = noBlend,
        depthStencil = { depthEnable = true, depthWrite = "ZERO", depthFunc = "LESS_EQUAL" },
    } } },

    { name = "UiTechPlain", passes = { {
        vs = modelVs, ps = texturedPs, blend = alphaBlend, depthStencil = noDepth, rasterizer = bothSides,
    } } },

    -- Line vertices carry their colour where models carry their normal.
    { name = "DebugElemTech", passes = { {
        vs = modelVs,
        ps = [[
in vec2 vUv;
in vec3 vColour;
out vec4 colour;
void main() { colour = vec4(vColour, 1.0); }
]],
        blend = noBlend,
        rasterizer = bothSides,
    } } },

    -- Glyph quads: colour in NORMAL (one colour per text, so not interpolated),
    -- coverage in the atlas's alpha.
    { name = "TextTech", passes = { {
        vs = modelVs,
        ps = [[
in vec2 vUv;
flat in vec3 vColour;
out vec4 colour;
void main() { colour = vec4(vColour, texture(guiDiffuseMap, vUv).a * alphaVal); }
]],
        blend = alphaBlend,
        depthStencil = noDepth,
        rasterizer = bothSides,
    } } },
}
