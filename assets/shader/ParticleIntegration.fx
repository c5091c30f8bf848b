-- ParticleIntegration: GPU particles advanced by stream-out and drawn as
-- camera-facing quads. A stream holds emitter records (TYPE 0, one per
-- particle description, kept for the emitter's life) and particles (TYPE 1).
-- Record (136 bytes): POSITION_SIZESCALE, VELOCITY_VALUE (direction, speed),
-- ACCELERATION_VALUE (direction, amount), ATTRACTOR_STRENGTH, GRADSTART,
-- GRADEND, FADEOPACITY_FREE (fade rate, opacity), AGE_MAXAGE_COUNT_FREQ,
-- ALPHATEX, TYPE. An emitter record's age counts time to its next burst.
-- GLSL 4.50; matrices are D3DX matrices (row vectors: write v * M).

header = [[
struct Record {
    vec4 positionSize;
    vec4 velocity;
    vec4 acceleration;
    vec4 attractor;
    vec4 gradStart;
    vec4 gradEnd;
    vec4 fade;
    vec4 ageMaxCountFreq;
    uint alphaTex;
    uint type;
};
]]

variables = {
    { name = "emitterPosition", type = "float3" },
    { name = "emitCount", type = "int", value = 1 },
    { name = "emitFrequency", type = "float", value = 1.0 },
    { name = "CamPosition", type = "float3" },
    { name = "viewMatrix", type = "float4x4" },
    { name = "gameTime", type = "float" },
    { name = "timeStep", type = "float" },
    { name = "emitterAlive", type = "bool", value = 1 },
    { name = "randomTexture", type = "Texture1D", filter = "POINT", address = "WRAP" },
    { name = "particleAlphaTexture", type = "Texture2DArray", filter = "LINEAR", address = "CLAMP" },
    { name = "worldTransform", type = "float4x4" },
}

-- Every stage reads the record as the vertex shader passes it on.
local recordVs = [[
in vec4 POSITION_SIZESCALE;
in vec4 VELOCITY_VALUE;
in vec4 ACCELERATION_VALUE;
in vec4 ATTRACTOR_STRENGTH;
in vec4 GRADSTART;
in vec4 GRADEND;
in vec4 FADEOPACITY_FREE;
in vec4 AGE_MAXAGE_COUNT_FREQ;
in uint ALPHATEX;
in uint TYPE;
out vec4 vPositionSize;
out vec4 vVelocity;
out vec4 vAcceleration;
out vec4 vAttractor;
out vec4 vGradStart;
out vec4 vGradEnd;
out vec4 vFade;
out vec4 vAge;
flat out uint vAlphaTex;
flat out uint vType;
void main() {
    vPositionSize = POSITION_SIZESCALE;
    vVelocity = VELOCITY_VALUE;
    vAcceleration = ACCELERATION_VALUE;
    vAttractor = ATTRACTOR_STRENGTH;
    vGradStart = GRADSTART;
    vGradEnd = GRADEND;
    vFade = FADEOPACITY_FREE;
    vAge = AGE_MAXAGE_COUNT_FREQ;
    vAlphaTex = ALPHATEX;
    vType = TYPE;
}
]]

local recordIn = [[
in vec4 vPositionSize[];
in vec4 vVelocity[];
in vec4 vAcceleration[];
in vec4 vAttractor[];
in vec4 vGradStart[];
in vec4 vGradEnd[];
in vec4 vFade[];
in vec4 vAge[];
flat in uint vAlphaTex[];
flat in uint vType[];
Record Input() {
    return Record(vPositionSize[0], vVelocity[0], vAcceleration[0], vAttractor[0], vGradStart[0],
                  vGradEnd[0], vFade[0], vAge[0], vAlphaTex[0], vType[0]);
}
]]

techniques = {
    { name = "StreamOutTech", passes = { {
        vs = recordVs,
        gs = recordIn .. [[
layout(points) in;
layout(points, max_vertices = 24) out;
out vec4 soPositionSize;
out vec4 soVelocity;
out vec4 soAcceleration;
out vec4 soAttractor;
out vec4 soGradStart;
out vec4 soGradEnd;
out vec4 soFade;
out vec4 soAge;
flat out uint soAlphaTex;
flat out uint soType;
void Emit(Record r) {
    soPositionSize = r.positionSize; soVelocity = r.velocity; soAcceleration = r.acceleration;
    soAttractor = r.attractor; soGradStart = r.gradStart; soGradEnd = r.gradEnd; soFade = r.fade;
    soAge = r.ageMaxCountFreq; soAlphaTex = r.alphaTex; soType = r.type;
    EmitVertex();
    EndPrimitive();
}
vec3 RandomVector(float offset) {
    return texture(randomTexture, fract(gameTime * 0.618034 + offset)).xyz;
}
void main() {
    Record r = Input();
    float dt = timeStep;
    if (r.type == 0u) {
        // Emitter: a burst of `count` particles every 1 / spawnRate seconds while alive.
        r.ageMaxCountFreq.x += dt;
        float period = r.ageMaxCountFreq.w > 0.0 ? 1.0 / r.ageMaxCountFreq.w : 1.0;
        if (emitterAlive && r.ageMaxCountFreq.x >= period) {
            r.ageMaxCountFreq.x = 0.0;
            int count = clamp(int(r.ageMaxCountFreq.z), 0, 23);
            for (int i = 0; i < count; ++i) {
                Record p = r;
                p.type = 1u;
                vec3 jitter = RandomVector(float(i) / 23.0) * 0.25;
                vec3 direction = normalize((vec4(normalize(r.velocity.xyz + jitter + vec3(1e-5)), 0.0)
                                            * worldTransform).xyz);
                p.positionSize.xyz = emitterPosition;
                p.velocity = vec4(direction, r.velocity.w);
                p.acceleration.xyz = (vec4(r.acceleration.xyz, 0.0) * worldTransform).xyz;
                p.attractor.xyz = (vec4(r.attractor.xyz, 1.0) * worldTransform).xyz;
                p.fade.y = 1.0;
                p.ageMaxCountFreq.x = 0.0;
                Emit(p);
            }
        }
        Emit(r);
        return;
    }
    r.ageMaxCountFreq.x += dt;
    if (r.ageMaxCountFreq.x >= r.ageMaxCountFreq.y) return;  // dies
    vec3 velocity = r.velocity.xyz * r.velocity.w + r.acceleration.xyz * r.acceleration.w * dt;
    vec3 toAttractor = r.attractor.xyz - r.positionSize.xyz;
    if (r.attractor.w != 0.0 && dot(toAttractor, toAttractor) > 1e-6)
        velocity += normalize(toAttractor) * r.attractor.w * dt;
    float speed = length(velocity);
    r.velocity = vec4(speed > 0.0 ? velocity / speed : r.velocity.xyz, speed);
    r.positionSize.xyz += velocity * dt;
    r.fade.y = max(r.fade.y - r.fade.x * dt / max(r.ageMaxCountFreq.y, 1e-4), 0.0);
    Emit(r);
}
]],
        streamOut = { "soPositionSize", "soVelocity", "soAcceleration", "soAttractor", "soGradStart",
                      "soGradEnd", "soFade", "soAge", "soAlphaTex", "soType" },
        depthStencil = { depthEnable = false, depthWrite = "ZERO" },
    } } },

    { name = "ParticleDrawTech", passes = { {
        vs = recordVs,
        gs = recordIn .. [[
layout(points) in;
layout(triangle_strip, max_vertices = 4) out;
out vec2 gUv;
out vec4 gColour;
flat out uint gLayer;
void main() {
    Record r = Input();
    if (r.type != 1u) return;
    float life = clamp(r.ageMaxCountFreq.x / max(r.ageMaxCountFreq.y, 1e-4), 0.0, 1.0);
    vec4 colour = mix(r.gradStart, r.gradEnd, life);
    colour.a *= r.fade.y;
    vec3 centre = r.positionSize.xyz;
    vec3 toCamera = CamPosition - centre;
    vec3 look = dot(toCamera, toCamera) > 1e-8 ? normalize(toCamera) : vec3(0.0, 0.0, -1.0);
    vec3 right = cross(vec3(0.0, 1.0, 0.0), look);
    right = dot(right, right) > 1e-8 ? normalize(right) : vec3(1.0, 0.0, 0.0);
    vec3 up = cross(look, right);
    float halfSize = 0.5 * r.positionSize.w;
    const vec2 corners[4] = vec2[](vec2(-1, 1), vec2(1, 1), vec2(-1, -1), vec2(1, -1));
    for (int i = 0; i < 4; ++i) {
        vec3 p = centre + (right * corners[i].x + up * corners[i].y) * halfSize;
        gl_Position = vec4(p, 1.0) * viewMatrix;
        gUv = vec2(corners[i].x * 0.5 + 0.5, 0.5 - corners[i].y * 0.5);
        gColour = colour;
        gLayer = r.alphaTex;
        EmitVertex();
    }
    EndPrimitive();
}
]],
        ps = [[
in vec2 gUv;
in vec4 gColour;
flat in uint gLayer;
out vec4 colour;
void main() {
    float mask = texture(particleAlphaTexture, vec3(gUv, float(gLayer))).a;
    colour = vec4(gColour.rgb, gColour.a * mask);
}
]],
        blend = { enable = true, src = "SRC_ALPHA", dest = "ONE", op = "ADD",
                  srcAlpha = "ZERO", destAlpha = "ONE", opAlpha = "ADD" },
        depthStencil = { depthEnable = true, depthWrite = "ZERO", depthFunc = "LESS_EQUAL" },
        rasterizer = { cull = "NONE" },
    } } },
}
