-- ParticleIntegration: GPU particles advanced by stream-out and drawn as
-- camera-facing quads. A stream holds emitter records (TYPE 0: one per
-- particle description, seeded from the emitter's seed buffer and kept for
-- the emitter's life) and live particles (TYPE 1). GLSL 4.50; matrices are
-- D3DX matrices (row vectors: write v * M).
--
-- Record (136 bytes):
--   POSITION_SIZESCALE     xyz position (world), w size (world units)
--   VELOCITY_VALUE         emitter: xyz direction, w speed; particle: xyz velocity, w speed at birth
--   ACCELERATION_VALUE     xyz direction, w amount (units / s^2)
--   ATTRACTOR_STRENGTH     emitter: xyz attractor relative to the emitter; particle: xyz
--                          attractor in the world; w pull per unit of distance (1 / s^2)
--   GRADSTART, GRADEND     colour at birth and at maxAge
--   FADEOPACITY_FREE       x fade rate; emitter: y particles still to start,
--                          z particles started so far (mod 1024), w 1 once the first burst ran
--   AGE_MAXAGE_COUNT_FREQ  emitter: x seconds since its last burst; particle: x age;
--                          y max age, z particles per burst, w bursts per second
--                          (0: one burst when the emitter starts)
--   ALPHATEX               slice of the particle texture array
--   TYPE                   0 emitter, 1 particle
--
-- One step (StreamOutTech), per input record, in input order:
--   emitter: while "emitterAlive", the first step queues a burst of `count`
--     particles and later steps queue one whenever its clock reaches one
--     period (timer x frequency >= 1); without "emitterAlive" the queue
--     empties. It writes itself, then starts at most min(emitCount, 23)
--     queued particles at "emitterPosition", each with the velocity
--     (direction + 0.35 r) x speed, where r is a texel of "randomTexture"
--     picked from the bits of "gameTime" and the start count.
--   particle: age += timeStep; past maxAge it is dropped; otherwise
--     a = accDir x amount + (attractor - position) x pull,
--     velocity += a x timeStep, position += velocity x timeStep.
-- A stream buffer holds 5000 records; records past that are not written.

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
const uint kEmitter = 0u;
const uint kParticle = 1u;
]]

variables = {
    { name = "emitterPosition", type = "float3" },
    -- particles one emitter record may start in one step (at most 23)
    { name = "emitCount", type = "int", value = 23 },
    -- kept for the variable table; a description's own frequency rules
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

const int kMaxStartsPerStep = 23;  // max_vertices - 1: the record itself goes out too
const float kSpread = 0.35;
const float kMaxQueued = 5000.0;

void Emit(Record r) {
    soPositionSize = r.positionSize; soVelocity = r.velocity; soAcceleration = r.acceleration;
    soAttractor = r.attractor; soGradStart = r.gradStart; soGradEnd = r.gradEnd; soFade = r.fade;
    soAge = r.ageMaxCountFreq; soAlphaTex = r.alphaTex; soType = r.type;
    EmitVertex();
    EndPrimitive();
}

// Texel of the random texture for the k-th particle started this step.
vec4 RandomTexel(uint started, uint k) {
    uint h = floatBitsToUint(gameTime) * 2654435761u;
    return texelFetch(randomTexture, int(((h >> 16) + started + k) & 1023u), 0);
}

void StepEmitter(Record e) {
    Record next = e;
    float timer = e.ageMaxCountFreq.x;
    float queued = e.fade.y;
    uint started = uint(e.fade.z);
    float begun = e.fade.w;
    float count = clamp(e.ageMaxCountFreq.z, 0.0, kMaxQueued);
    float frequency = e.ageMaxCountFreq.w;
    if (emitterAlive) {
        if (begun == 0.0) {
            begun = 1.0;
            timer = 0.0;
            queued = min(queued + count, kMaxQueued);
        } else {
            timer = timer + timeStep;
            if (frequency > 0.0 && timer * frequency >= 1.0) {
                timer = 0.0;
                queued = min(queued + count, kMaxQueued);
            }
        }
    } else {
        queued = 0.0;
    }
    int cap = clamp(emitCount, 0, kMaxStartsPerStep);
    uint n = uint(min(int(queued), cap));
    next.ageMaxCountFreq.x = timer;
    next.fade.y = queued - float(n);
    next.fade.z = float((started + n) & 1023u);
    next.fade.w = begun;
    Emit(next);

    float speed = e.velocity.w;
    for (uint k = 0u; k < n; ++k) {
        vec4 r = RandomTexel(started, k);
        Record p = e;
        p.positionSize.xyz = emitterPosition;
        p.velocity.xyz = (e.velocity.xyz + r.xyz * kSpread) * speed;
        p.attractor.xyz = emitterPosition + e.attractor.xyz;
        p.fade.yzw = vec3(0.0);
        p.ageMaxCountFreq.x = 0.0;
        p.type = kParticle;
        Emit(p);
    }
}

void StepParticle(Record p) {
    float dt = timeStep;
    float age = p.ageMaxCountFreq.x + dt;
    if (age > p.ageMaxCountFreq.y) return;
    p.ageMaxCountFreq.x = age;
    vec3 position = p.positionSize.xyz;
    vec3 acceleration = p.acceleration.xyz * p.acceleration.w + (p.attractor.xyz - position) * p.attractor.w;
    vec3 velocity = p.velocity.xyz + acceleration * dt;
    p.velocity.xyz = velocity;
    p.positionSize.xyz = position + velocity * dt;
    Emit(p);
}

void main() {
    Record r = Input();
    if (r.type == kEmitter)
        StepEmitter(r);
    else if (r.type == kParticle)
        StepParticle(r);
}
]],
        streamOut = { "soPositionSize", "soVelocity", "soAcceleration", "soAttractor", "soGradStart",
                      "soGradEnd", "soFade", "soAge", "soAlphaTex", "soType" },
        depthStencil = { depthEnable = false, depthWrite = "ZERO" },
    } } },

    -- Live particles as quads facing the camera; colour from the gradient
    -- over the particle's life, fading by its fade rate, shaped by its mask.
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
    if (r.type != kParticle) return;
    float life = clamp(r.ageMaxCountFreq.x / max(r.ageMaxCountFreq.y, 1e-4), 0.0, 1.0);
    vec4 colour = mix(r.gradStart, r.gradEnd, life);
    colour.a *= clamp(1.0 - life * r.fade.x, 0.0, 1.0);
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
