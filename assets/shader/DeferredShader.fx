-- DeferredShader: the geometry buffer, instanced point lights, ambient
-- occlusion, the blurs and the combine onto the back buffer.
-- GLSL 4.50 stages; matrices are D3DX matrices (row vectors: write v * M);
-- texture coordinates, clip space and gl_FragCoord follow Direct3D
-- (origin top-left, v down, depth 0..1). Vertex inputs are named after
-- their semantics. Targets: Normals (world normal * 0.5 + 0.5),
-- DiffuseSpec (diffuse, specular in alpha), Glow, Light, SSAO (red).

header = [[
// View-space position of the pixel at uv with depth-buffer value depth.
vec3 ViewPosition(vec2 uv, float depth) {
    vec4 clip = vec4(uv.x * 2.0 - 1.0, 1.0 - uv.y * 2.0, depth, 1.0);
    vec4 view = clip * gInverseProjection;
    return view.xyz / view.w;
}
vec3 WorldNormal(vec2 uv) {
    vec3 n = texture(NormalsIn, uv).xyz * 2.0 - 1.0;
    return dot(n, n) > 1e-6 ? normalize(n) : vec3(0.0);
}
vec2 PixelSize() { return vec2(pixelWidth, pixelHeight); }
const float kBlurWeights[5] = float[](0.227027, 0.1945946, 0.1216216, 0.054054, 0.016216);
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
    { name = "GlobalDirection", type = "float3", value = { 1.0, 1.0, 1.0 } },
    { name = "GlobalColor", type = "float3", value = { 1.0, 1.0, 1.0 } },
    { name = "GlobalIntensity", type = "float", value = 0.2 },
    { name = "ambient", type = "float", value = 0.9 },
    { name = "scrWidth", type = "int", value = 1 },
    { name = "scrHeight", type = "int", value = 1 },
    { name = "pixelWidth", type = "float", value = 1.0 },
    { name = "pixelHeight", type = "float", value = 1.0 },
    { name = "SsaoSampleRad", type = "float", value = 0.6 },
    { name = "SsaoIntensity", type = "float", value = 1.0 },
    { name = "SsaoScale", type = "float", value = 1.0 },
    { name = "SsaoBias", type = "float", value = 0.05 },
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

local function blurPs(axis)
    return [[
in vec2 vUv;
out vec4 colour;
void main() {
    vec2 step = PixelSize() * ]] .. axis .. [[;
    vec4 sum = texture(StagedBlur, vUv) * kBlurWeights[0];
    for (int i = 1; i < 5; ++i) {
        sum += texture(StagedBlur, vUv + step * float(i)) * kBlurWeights[i];
        sum += texture(StagedBlur, vUv - step * float(i)) * kBlurWeights[i];
    }
    colour = sum;
}
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

techniques = {
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
    vec3 n = normalize(vNormal);
    // Tangent frame from screen-space derivatives: the vertices carry no tangents.
    vec3 dp1 = dFdx(vWorld), dp2 = dFdy(vWorld);
    vec2 duv1 = dFdx(vUv), duv2 = dFdy(vUv);
    vec3 t = dp1 * duv2.y - dp2 * duv1.y;
    vec3 b = dp2 * duv1.x - dp1 * duv2.x;
    float scale = max(dot(t, t), dot(b, b));
    vec3 mapped = texture(NormalMap, vUv).xyz * 2.0 - 1.0;
    if (scale > 1e-12) {
        float inv = inversesqrt(scale);
        n = normalize(mat3(t * inv, b * inv, n) * mapped);
    }
    vec4 diffuse = texture(DiffuseMap, vUv);
    outNormal = vec4(n * 0.5 + 0.5, 1.0);
    outDiffuseSpec = vec4(diffuse.rgb, texture(SpecularMap, vUv).r);
    outGlow = vec4(texture(GlowMap, vUv).rgb, 1.0);
}
]],
        blend = noBlend,
    } } },

    -- Light volumes: one unit sphere per instance, scaled by the light's radius.
    { name = "DeferredLightingBuffer", passes = { {
        vs = [[
in vec3 POSITION;
in vec3 NORMAL;
in vec2 TEXCOORD0;
in vec3 TEXCOORD1;
in vec4 TEXCOORD2;
out vec3 vLightView;
out vec4 vLight;
void main() {
    vec3 world = POSITION * TEXCOORD2.w + TEXCOORD1;
    gl_Position = vec4(world, 1.0) * gViewProjection;
    vLightView = (vec4(TEXCOORD1, 1.0) * gView).xyz;
    vLight = TEXCOORD2;
}
]],
        ps = [[
in vec3 vLightView;
in vec4 vLight;
layout(location = 0) out vec4 outLight;
layout(location = 1) out vec4 outGlow;
void main() {
    vec2 uv = gl_FragCoord.xy * PixelSize();
    float depth = texture(DepthIn, uv).r;
    if (depth >= 1.0) discard;
    vec3 position = ViewPosition(uv, depth);
    vec3 normal = normalize((vec4(WorldNormal(uv), 0.0) * gView).xyz);
    vec3 toLight = vLightView - position;
    float distance = length(toLight);
    float radius = max(vLight.w, 1e-4);
    if (distance > radius) discard;
    float attenuation = 1.0 - distance / radius;
    attenuation *= attenuation;
    vec3 l = toLight / max(distance, 1e-4);
    float diffuse = max(dot(normal, l), 0.0);
    vec3 h = normalize(l - normalize(position));
    float specular = pow(max(dot(normal, h), 0.0), 32.0) * texture(DiffuseSpecIn, uv).a;
    outLight = vec4(vLight.rgb * (diffuse + specular) * attenuation, 1.0);
    outGlow = vec4(0.0);
}
]],
        blend = additive,
        rasterizer = { cull = "FRONT" },
        depthStencil = noDepth,
    } } },

    fullScreen("CombineDeferred", [[
in vec2 vUv;
out vec4 colour;
void main() {
    vec3 diffuse = texture(DiffuseSpecIn, vUv).rgb;
    vec3 normal = WorldNormal(vUv);
    vec3 direction = dot(GlobalDirection, GlobalDirection) > 0.0 ? normalize(GlobalDirection) : vec3(0.0);
    vec3 sun = max(dot(normal, -direction), 0.0) * GlobalColor * GlobalIntensity;
    float occlusion = texture(SSAOIn, vUv).r;
    vec3 light = texture(LightIn, vUv).rgb;
    vec3 lit = diffuse * (ambient * occlusion + sun + light);
    colour = vec4(lit + texture(GlowIn, vUv).rgb, 1.0);
}
]]),

    fullScreen("DoSSAO", [[
in vec2 vUv;
out vec4 colour;
const vec2 kKernel[8] = vec2[](vec2(1, 0), vec2(-1, 0), vec2(0, 1), vec2(0, -1),
                               vec2(0.707, 0.707), vec2(-0.707, 0.707), vec2(0.707, -0.707), vec2(-0.707, -0.707));
void main() {
    float depth = texture(DepthIn, vUv).r;
    if (depth >= 1.0) { colour = vec4(1.0); return; }
    vec3 position = ViewPosition(vUv, depth);
    vec3 normal = normalize((vec4(WorldNormal(vUv), 0.0) * gView).xyz);
    vec2 noiseScale = vec2(float(scrWidth), float(scrHeight)) / vec2(textureSize(RandomNormals, 0));
    vec2 random = normalize(texture(RandomNormals, vUv * noiseScale).xy * 2.0 - 1.0 + vec2(1e-4));
    float radius = SsaoSampleRad / max(position.z, 1.0);
    float occlusion = 0.0;
    for (int i = 0; i < 8; ++i) {
        vec2 offset = reflect(kKernel[i], random) * radius * (0.5 + 0.5 * float(i & 3) / 3.0);
        vec2 sampleUv = vUv + offset;
        vec3 other = ViewPosition(sampleUv, texture(DepthIn, sampleUv).r);
        vec3 toOther = other - position;
        float distance = length(toOther) * SsaoScale;
        occlusion += max(dot(normal, toOther / max(length(toOther), 1e-4)) - SsaoBias, 0.0) / (1.0 + distance);
    }
    colour = vec4(clamp(1.0 - occlusion / 8.0 * SsaoIntensity, 0.0, 1.0));
}
]]),

    fullScreen("Blur_H", blurPs("vec2(1.0, 0.0)")),
    fullScreen("Blur_V", blurPs("vec2(0.0, 1.0)")),
    fullScreen("BlurGlow_H", blurPs("vec2(1.0, 0.0)")),
    fullScreen("BlurGlow_V", blurPs("vec2(0.0, 1.0)")),
}
