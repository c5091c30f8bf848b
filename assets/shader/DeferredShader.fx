-- DeferredShader: the geometry buffer, instanced point lights, ambient
-- occlusion, the blurs and the combine onto the back buffer.
-- GLSL 4.50 stages; matrices are D3DX matrices (row vectors: write v * M);
-- texture coordinates, clip space and gl_FragCoord follow Direct3D
-- (origin top-left, v down, depth 0..1). Vertex inputs are named after
-- their semantics.
--
-- Targets: Normals (world normal * 0.5 + 0.5), DiffuseSpec (diffuse colour,
-- specular strength in alpha), Glow (glow colour), Light (point lights),
-- SSAO (red: 1 = open, 0 = fully occluded). The full-screen passes and the
-- lights read these targets (and the depth) at their own pixel with texel
-- fetches; the occlusion's probes read the view-space positions (or the
-- depth) point-sampled at texel centres (the texel itself, clamped at the
-- edges); only the blur taps between texels filter.
-- Lights: "GlobalDirection" points from the scene towards the directional
-- light; point lights fade with the square of (1 - (distance / radius)^2) and
-- are dark at their radius. Ambient light is scaled by the occlusion.
-- Occlusion parameters (set only here): "SsaoSampleRad" is the world radius
-- sampled around a pixel, "SsaoIntensity" scales the darkening, "SsaoScale"
-- widens (> 1) or narrows the distance over which neighbours fully occlude,
-- "SsaoBias" is the rise (cosine above the tangent plane) a neighbour needs
-- before it occludes at all.

header = [[
// View-space position of the pixel at uv with depth-buffer value depth. The
// inverse of a perspective projection has four entries that are not zero
// (and zero products add nothing), so only those are multiplied.
vec3 ViewPosition(vec2 uv, float depth) {
    float w = depth * gInverseProjection[3][2] + gInverseProjection[3][3];
    return vec3((uv.x * 2.0 - 1.0) * gInverseProjection[0][0], (1.0 - uv.y * 2.0) * gInverseProjection[1][1],
                gInverseProjection[2][3]) / w;
}
vec3 WorldNormal(ivec2 pixel) {
    vec3 n = texelFetch(NormalsIn, pixel, 0).xyz * 2.0 - 1.0;
    return dot(n, n) > 1e-6 ? normalize(n) : vec3(0.0);
}
vec2 PixelSize() { return vec2(pixelWidth, pixelHeight); }
// A 13-texel binomial kernel read in 7 linearly filtered fetches.
const float kBlurOffsets[4] = float[](0.0, 1.4117647, 3.2941176, 5.1764706);
const float kBlurWeights[4] = float[](0.1964825, 0.2969070, 0.0944704, 0.0103814);
// The centre tap is the pixel's own texel (uv is its centre). The targets
// have a single level, so the taps read level 0 and skip the derivatives.
vec4 Blur(vec2 uv, ivec2 pixel, vec2 direction) {
    vec2 step = PixelSize() * direction;
    vec4 sum = texelFetch(StagedBlur, pixel, 0) * kBlurWeights[0];
    for (int i = 1; i < 4; ++i) {
        sum += textureLod(StagedBlur, uv + step * kBlurOffsets[i], 0.0) * kBlurWeights[i];
        sum += textureLod(StagedBlur, uv - step * kBlurOffsets[i], 0.0) * kBlurWeights[i];
    }
    return sum;
}
]]

local function tex(name, filter, address)
    return { name = name, type = "Texture2D", filter = filter, address = address }
end

variables = {
    { name = "gWorldViewProj", type = "float4x4" },
    { name = "gWorld", type = "float4x4" },
    { name = "gView", type = "float4x4" },
    { name = "gViewProjection", type = "float4x4" },
    { name = "gInverseProjection", type = "float4x4" },
    { name = "gTextureTileFactor", type = "float2", value = { 1.0, 1.0 } },
    tex("DiffuseMap", "ANISOTROPIC", "WRAP"),
    tex("NormalMap", "ANISOTROPIC", "WRAP"),
    tex("GlowMap", "ANISOTROPIC", "WRAP"),
    tex("SpecularMap", "ANISOTROPIC", "WRAP"),
    tex("DiffuseSpecIn", "POINT", "CLAMP"),
    tex("NormalsIn", "POINT", "CLAMP"),
    tex("GlowIn", "LINEAR", "CLAMP"),
    tex("DepthIn", "POINT", "CLAMP"),
    tex("LightIn", "POINT", "CLAMP"),
    tex("EdgeIn", "POINT", "CLAMP"),
    tex("SSAOIn", "LINEAR", "CLAMP"),
    tex("StagedBlur", "LINEAR", "CLAMP"),
    tex("RandomNormals", "POINT", "WRAP"),
    tex("LightPositionIn", "POINT", "CLAMP"),
    tex("LightNormalIn", "POINT", "CLAMP"),
    { name = "GlobalDirection", type = "float3", value = { 1.0, 1.0, 1.0 } },
    { name = "GlobalColor", type = "float3", value = { 1.0, 1.0, 1.0 } },
    { name = "GlobalIntensity", type = "float", value = 0.2 },
    { name = "ambient", type = "float", value = 0.9 },
    { name = "scrWidth", type = "int", value = 1 },
    { name = "scrHeight", type = "int", value = 1 },
    { name = "pixelWidth", type = "float", value = 1.0 },
    { name = "pixelHeight", type = "float", value = 1.0 },
    { name = "SsaoSampleRad", type = "float", value = 0.75 },
    { name = "SsaoIntensity", type = "float", value = 2.0 },
    { name = "SsaoScale", type = "float", value = 1.0 },
    { name = "SsaoBias", type = "float", value = 0.1 },
    -- Per light of the batch being drawn, by instance (filled by the renderer):
    -- its view-space centre and radius squared, then its colour and radius.
    { name = "PointLights", type = "cbuffer", members = "vec4 pointLights[4000];" },
}

-- The full-screen quad: corners at (+-1, +-1), uv (0, 0) at the top left.
local quadVs = [[
in vec3 POSITION;
in vec3 NORMAL;
in vec2 TEXCOORD0;
out vec2 vUv;
void main() {
    gl_Position = vec4(POSITION.xy, 0.0, 1.0);
    vUv = TEXCOORD0;
}
]]

-- The full-screen quad at the far end of the depth range: a "GREATER" depth
-- test passes exactly the pixels where a surface was drawn.
local farQuadVs = [[
in vec3 POSITION;
in vec3 NORMAL;
in vec2 TEXCOORD0;
out vec2 vUv;
void main() {
    gl_Position = vec4(POSITION.xy, 1.0, 1.0);
    vUv = TEXCOORD0;
}
]]

-- spread > 1 stretches the kernel (the glow reaches further than the
-- occlusion is smoothed).
local function blurPs(direction, spread)
    return [[
in vec2 vUv;
out vec4 colour;
void main() { colour = Blur(vUv, ivec2(gl_FragCoord.xy), ]] .. direction .. " * " .. spread .. [[); }
]]
end

local noBlend = { enable = false }
local additive = { enable = true, src = "ONE", dest = "ONE", op = "ADD",
                   srcAlpha = "ONE", destAlpha = "ONE", opAlpha = "ADD" }
local screen = { cull = "NONE" }
local noDepth = { depthEnable = false, depthWrite = "ZERO" }

local function fullScreen(name, ps)
    return { name = name, passes = { {
        vs = quadVs, ps = ps, blend = noBlend, rasterizer = screen, depthStencil = noDepth,
    } } }
end

-- Ambient occlusion: hemisphere probes around the pixel's normal in view
-- space, each turned by the pixel's random normal, pick nearby pixels; the
-- surface point seen at such a pixel occludes as far as it rises above the
-- pixel's tangent plane (so flat ground never shadows itself), less with
-- distance. `pixelPoint` sets the pixel's `position` and unit `normal` (or
-- leaves it open); `scenePoint` sets `sceneDepth` and `toScene` (from the
-- pixel's point to the one seen at `uv`).
-- The rasterizer shades blocks of pixels in lock-step under a mask: a probe
-- that falls off the screen, on the sky or on the pixel itself is computed
-- like the others and its share dropped by a select (a `continue` costs mask
-- upkeep and skips nothing). The loop has a constant bound, so the compiler
-- unrolls it with each probe's kernel vector and reach as constants.
local function occlusionPass(pixelPoint, scenePoint)
    return {
        vs = farQuadVs, blend = noBlend, rasterizer = screen,
        depthStencil = { depthEnable = true, depthWrite = "ZERO", depthFunc = "GREATER" },
        ps = [[
layout(early_fragment_tests) in;
in vec2 vUv;
out vec4 colour;
const int kSamples = 12;
const vec3 kKernel[kSamples] = vec3[](
    vec3(0.535, 0.270, 0.320), vec3(-0.410, 0.455, 0.150), vec3(0.120, -0.560, 0.410),
    vec3(-0.300, -0.210, 0.625), vec3(0.720, -0.185, 0.240), vec3(-0.655, -0.410, 0.330),
    vec3(0.205, 0.740, 0.390), vec3(-0.180, 0.150, 0.880), vec3(0.860, 0.380, 0.150),
    vec3(-0.840, 0.300, 0.260), vec3(0.300, -0.850, 0.300), vec3(0.050, 0.050, 0.990));
void main() {
    ivec2 pixel = ivec2(gl_FragCoord.xy);
]] .. pixelPoint .. [[
    vec2 size = vec2(float(scrWidth), float(scrHeight));
    // The noise tiles the screen one texel per pixel: its wrapping sampler
    // read at the texel centre (no integer division per pixel).
    vec3 random = textureLod(RandomNormals, gl_FragCoord.xy / vec2(textureSize(RandomNormals, 0)), 0.0).xyz * 2.0 - 1.0;
    random = dot(random, random) > 1e-4 ? normalize(random) : vec3(0.0, 0.0, 1.0);
    float radius = SsaoSampleRad;
    float nearRadius = SsaoScale * radius;
    // The projection's x and y scales: the reciprocals of the (perspective)
    // inverse's diagonal.
    vec2 projectionScale = vec2(1.0 / gInverseProjection[0][0], 1.0 / gInverseProjection[1][1]);
    float occlusion = 0.0;
    for (int i = 0; i < kSamples; ++i) {
        vec3 offset = reflect(kKernel[i], random);
        offset = dot(offset, normal) < 0.0 ? -offset : offset;
        // Probes spread from near the pixel out to the full radius.
        float reach = mix(0.25, 1.0, float(i) / float(kSamples - 1));
        vec3 probe = position + offset * radius * reach;
        // The pixel the probe falls in, and the point seen at its centre (off
        // the screen the read is clamped and the probe dropped).
        vec2 ndc = probe.xy * projectionScale / max(probe.z, 1e-4);
        vec2 probePixel = floor(vec2(ndc.x * 0.5 + 0.5, 0.5 - ndc.y * 0.5) * size);
        bool inside = all(greaterThanEqual(probePixel, vec2(0.0))) && all(lessThan(probePixel, size));
        vec2 uv = (probePixel + 0.5) * PixelSize();
]] .. scenePoint .. [[
        float lengthSquared = dot(toScene, toScene);
        float inverseDistance = inversesqrt(lengthSquared);
        float rise = max(dot(normal, toScene) * inverseDistance - SsaoBias, 0.0);
        float near = clamp(nearRadius * inverseDistance, 0.0, 1.0);
        bool counts = inside && sceneDepth < 1.0 && lengthSquared >= 1e-8;
        occlusion += counts ? rise * near * near : 0.0;
    }
    colour = vec4(clamp(1.0 - occlusion / float(kSamples) * SsaoIntensity, 0.0, 1.0));
}
]],
    }
end

techniques = {
    -- Depth and stencil come from the renderer (its depth-on state).
    { name = "DeferredGeometryBuffer", passes = { {
        vs = [[
in vec3 POSITION;
in vec3 NORMAL;
in vec2 TEXCOORD0;
out vec3 vNormal;
out vec3 vWorld;
out vec2 vUv;
void main() {
    gl_Position = vec4(POSITION, 1.0) * gWorldViewProj;
    vWorld = (vec4(POSITION, 1.0) * gWorld).xyz;
    vNormal = (vec4(NORMAL, 0.0) * gWorld).xyz;
    vUv = TEXCOORD0 * gTextureTileFactor;
}
]],
        ps = [[
in vec3 vNormal;
in vec3 vWorld;
in vec2 vUv;
layout(location = 0) out vec4 outNormal;
layout(location = 1) out vec4 outDiffuseSpec;
layout(location = 2) out vec4 outGlow;
void main() {
    vec3 n = dot(vNormal, vNormal) > 1e-12 ? normalize(vNormal) : vec3(0.0, 0.0, -1.0);
    // Tangent-space normal maps hold normal * 0.5 + 0.5. The renderer's
    // stand-in for a missing map, (0, 0, 1), and any texel with no red and
    // green (never a real map's normal) leave the surface normal as it is.
    vec3 texel = texture(NormalMap, vUv).xyz;
    if (texel.r + texel.g > 1.0 / 255.0) {
        // Tangent frame from screen-space derivatives: the vertices carry no tangents.
        vec3 dp1 = dFdx(vWorld), dp2 = dFdy(vWorld);
        vec2 duv1 = dFdx(vUv), duv2 = dFdy(vUv);
        vec3 t = dp1 * duv2.y - dp2 * duv1.y;
        vec3 b = dp2 * duv1.x - dp1 * duv2.x;
        float scale = max(dot(t, t), dot(b, b));
        if (scale > 1e-20) {
            float inv = inversesqrt(scale);
            vec3 mapped = normalize(texel * 2.0 - 1.0);
            vec3 bumped = mat3(t * inv, b * inv, n) * mapped;
            if (dot(bumped, bumped) > 1e-12) n = normalize(bumped);
        }
    }
    vec4 diffuse = texture(DiffuseMap, vUv);
    outNormal = vec4(n * 0.5 + 0.5, 1.0);
    outDiffuseSpec = vec4(diffuse.rgb, texture(SpecularMap, vUv).r);
    outGlow = vec4(texture(GlowMap, vUv).rgb, 1.0);
}
]],
        blend = noBlend,
        rasterizer = { cull = "BACK" },
    }, {
        -- Pass 1, for a material without a normal map whose stand-in leaves
        -- the surface normal as it is: what pass 0 gives it, without reading
        -- the stand-in or working out a tangent frame.
        vs = [[
in vec3 POSITION;
in vec3 NORMAL;
in vec2 TEXCOORD0;
out vec3 vNormal;
out vec2 vUv;
void main() {
    gl_Position = vec4(POSITION, 1.0) * gWorldViewProj;
    vNormal = (vec4(NORMAL, 0.0) * gWorld).xyz;
    vUv = TEXCOORD0 * gTextureTileFactor;
}
]],
        ps = [[
in vec3 vNormal;
in vec2 vUv;
layout(location = 0) out vec4 outNormal;
layout(location = 1) out vec4 outDiffuseSpec;
layout(location = 2) out vec4 outGlow;
void main() {
    vec3 n = dot(vNormal, vNormal) > 1e-12 ? normalize(vNormal) : vec3(0.0, 0.0, -1.0);
    vec4 diffuse = texture(DiffuseMap, vUv);
    outNormal = vec4(n * 0.5 + 0.5, 1.0);
    outDiffuseSpec = vec4(diffuse.rgb, texture(SpecularMap, vUv).r);
    outGlow = vec4(texture(GlowMap, vUv).rgb, 1.0);
}
]],
        blend = noBlend,
        rasterizer = { cull = "BACK" },
    } } },

    -- What the lights and the occlusion need of each pixel, worked out once
    -- before them (a pixel is shaded by many lights, and by each light several
    -- times where its small triangles share a pixel block; the occlusion reads
    -- a dozen neighbours' positions for each pixel): the view-space position
    -- with the depth, and the view-space normal with the specular strength.
    -- These are read while the depth buffer is bound for the depth tests of
    -- the lights and the occlusion.
    { name = "LightInputs", passes = {
        { vs = quadVs, blend = noBlend, rasterizer = screen, depthStencil = noDepth, ps = [[
in vec2 vUv;
layout(location = 0) out vec4 outPosition;
layout(location = 1) out vec4 outNormal;
void main() {
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    float depth = texelFetch(DepthIn, pixel, 0).r;
    outPosition = vec4(ViewPosition(gl_FragCoord.xy * PixelSize(), depth), depth);
    outNormal = vec4(normalize((vec4(WorldNormal(pixel), 0.0) * gView).xyz), texelFetch(DiffuseSpecIn, pixel, 0).a);
}
]] },
    } },

    -- Light volumes: one unit sphere per instance, scaled by the light's
    -- radius; back faces are drawn so a camera inside a light still sees it.
    -- A light's pixels get its instance number alone (one flat input to set
    -- up per triangle) and read the rest from "PointLights".
    -- Drawn into the Light target alone, with the depth buffer bound
    -- (unwritten) for the depth test: a back face in front of the scene point
    -- behind it (GREATER_EQUAL fails) cannot light it, as that point lies
    -- beyond the sphere; the test runs before the shader, so those pixels
    -- cost no shading.
    { name = "DeferredLightingBuffer", passes = { {
        vs = [[
in vec3 POSITION;
in vec3 NORMAL;
in vec2 TEXCOORD0;
in vec3 TEXCOORD1;
in vec4 TEXCOORD2;
flat out int vLightIndex;
void main() {
    // The polygon sphere lies inside the unit sphere: grow it a little.
    vec3 world = POSITION * (TEXCOORD2.w * 1.02) + TEXCOORD1;
    gl_Position = vec4(world, 1.0) * gViewProjection;
    vLightIndex = gl_InstanceID;
}
]],
        ps = [[
layout(early_fragment_tests) in;
flat in int vLightIndex;
out vec4 outLight;
void main() {
    // The light's view-space centre and radius squared; its colour and radius.
    vec4 lightView = pointLights[2 * vLightIndex];
    vec4 light = pointLights[2 * vLightIndex + 1];
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    vec4 positionDepth = texelFetch(LightPositionIn, pixel, 0);
    if (positionDepth.w >= 1.0) discard;
    vec3 position = positionDepth.xyz;
    vec3 toLight = lightView.xyz - position;
    float distance = length(toLight);
    if (distance >= light.w) discard;
    vec4 normalSpecular = texelFetch(LightNormalIn, pixel, 0);
    vec3 normal = normalSpecular.xyz;
    float fade = 1.0 - (distance * distance) / lightView.w;
    fade *= fade;
    vec3 l = toLight / max(distance, 1e-4);
    float diffuse = max(dot(normal, l), 0.0);
    float specular = 0.0;
    if (diffuse > 0.0) {
        // The specular power 32, by squaring.
        vec3 h = normalize(l - normalize(position));
        float s = max(dot(normal, h), 0.0);
        s *= s;
        s *= s;
        s *= s;
        s *= s;
        s *= s;
        specular = s * normalSpecular.w;
    }
    outLight = vec4(light.rgb * (diffuse + specular) * fade, 1.0);
}
]],
        blend = additive,
        rasterizer = { cull = "FRONT" },
        depthStencil = { depthEnable = true, depthWrite = "ZERO", depthFunc = "GREATER_EQUAL" },
    } } },

    fullScreen("CombineDeferred", [[
in vec2 vUv;
out vec4 colour;
void main() {
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    vec3 diffuse = texelFetch(DiffuseSpecIn, pixel, 0).rgb;
    vec3 normal = WorldNormal(pixel);
    vec3 towardsLight = dot(GlobalDirection, GlobalDirection) > 0.0 ? normalize(GlobalDirection) : vec3(0.0);
    vec3 sun = max(dot(normal, towardsLight), 0.0) * GlobalColor * GlobalIntensity;
    float occlusion = texelFetch(SSAOIn, pixel, 0).r;
    vec3 light = texelFetch(LightIn, pixel, 0).rgb;
    vec3 lit = diffuse * (ambient * occlusion + sun + light);
    colour = vec4(lit + texelFetch(GlowIn, pixel, 0).rgb, 1.0);
}
]]),

    -- Pass 0 reads the lighting step's per-pixel inputs and is tested against
    -- the depth buffer (bound, unwritten), so the sky's pixels are left unshaded
    -- and open (cleared). Pass 1, for an effect without those inputs, reads the
    -- depth buffer itself (nothing bound to test against) and opens the sky's
    -- pixels in the shader.
    { name = "DoSSAO", passes = {
        occlusionPass([[
    vec4 positionDepth = texelFetch(LightPositionIn, pixel, 0);
    float depth = positionDepth.w;
    if (depth >= 1.0) { colour = vec4(1.0); return; }
    vec3 position = positionDepth.xyz;
    // Unit length, or not a number where the pixel has no normal.
    vec3 normal = texelFetch(LightNormalIn, pixel, 0).xyz;
    if (!(dot(normal, normal) > 0.5)) { colour = vec4(1.0); return; }
]], [[
        vec4 scene = textureLod(LightPositionIn, uv, 0.0);
        float sceneDepth = scene.w;
        vec3 toScene = scene.xyz - position;
]]),
        occlusionPass([[
    float depth = texelFetch(DepthIn, pixel, 0).r;
    if (depth >= 1.0) { colour = vec4(1.0); return; }
    vec3 position = ViewPosition(vUv, depth);
    vec3 normal = (vec4(WorldNormal(pixel), 0.0) * gView).xyz;
    if (dot(normal, normal) < 1e-6) { colour = vec4(1.0); return; }
    normal = normalize(normal);
]], [[
        float sceneDepth = textureLod(DepthIn, uv, 0.0).r;
        vec3 toScene = ViewPosition(uv, sceneDepth) - position;
]]),
    } },

    fullScreen("Blur_H", blurPs("vec2(1.0, 0.0)", "1.0")),
    fullScreen("Blur_V", blurPs("vec2(0.0, 1.0)", "1.0")),
    fullScreen("BlurGlow_H", blurPs("vec2(1.0, 0.0)", "2.0")),
    fullScreen("BlurGlow_V", blurPs("vec2(0.0, 1.0)", "2.0")),
}
