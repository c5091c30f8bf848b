#include "ParticleStepReference.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kMaxSpawnPerStep = 23;
constexpr float kSpread = 0.35f;
constexpr float kMaxPending = 5000.0f;

u32 RandomIndex(float gameTime, u32 counter, u32 k) {
    u32 bits;
    std::memcpy(&bits, &gameTime, 4);
    const u32 h = bits * 2654435761u;
    return ((h >> 16) + counter + k) & 1023u;
}

ParticleVertex Spawn(const ParticleVertex& e, const ParticleStepInputs& in, u32 counter, u32 k) {
    const float* r = in.randomTexels + 4 * RandomIndex(in.gameTime, counter, k);
    ParticleVertex p = e;
    const float speed = e.velocityValue[3];
    for (int i = 0; i < 3; ++i) {
        p.positionSizeScale[i] = in.emitterPosition[i];
        p.velocityValue[i] = (e.velocityValue[i] + r[i] * kSpread) * speed;
        p.attractorStrength[i] = in.emitterPosition[i] + e.attractorStrength[i];
    }
    p.fadeOpacityFree[1] = p.fadeOpacityFree[2] = p.fadeOpacityFree[3] = 0.0f;
    p.ageMaxAgeCountFreq[0] = 0.0f;
    p.type = ParticleVertex::kLive;
    return p;
}

void StepEmitter(const ParticleVertex& e, const ParticleStepInputs& in, std::vector<ParticleVertex>& out) {
    ParticleVertex next = e;
    float timer = e.ageMaxAgeCountFreq[0];
    float pending = e.fadeOpacityFree[1];
    u32 counter = static_cast<u32>(e.fadeOpacityFree[2]);
    float started = e.fadeOpacityFree[3];
    const float count = std::clamp(e.ageMaxAgeCountFreq[2], 0.0f, kMaxPending);
    const float frequency = e.ageMaxAgeCountFreq[3];
    if (in.emitterAlive) {
        if (started == 0.0f) {
            started = 1.0f;
            timer = 0.0f;
            pending = std::min(pending + count, kMaxPending);
        } else {
            timer = timer + in.timeStep;
            if (frequency > 0.0f && timer * frequency >= 1.0f) {
                timer = 0.0f;
                pending = std::min(pending + count, kMaxPending);
            }
        }
    } else {
        pending = 0.0f;
    }
    const int cap = std::clamp(in.emitCount, 0, kMaxSpawnPerStep);
    const u32 n = static_cast<u32>(std::min(static_cast<int>(pending), cap));
    next.ageMaxAgeCountFreq[0] = timer;
    next.fadeOpacityFree[1] = pending - static_cast<float>(n);
    next.fadeOpacityFree[2] = static_cast<float>((counter + n) & 1023u);
    next.fadeOpacityFree[3] = started;
    out.push_back(next);
    for (u32 k = 0; k < n; ++k) out.push_back(Spawn(e, in, counter, k));
}

void StepLive(const ParticleVertex& p, const ParticleStepInputs& in, std::vector<ParticleVertex>& out) {
    ParticleVertex next = p;
    const float dt = in.timeStep;
    const float age = p.ageMaxAgeCountFreq[0] + dt;
    if (age > p.ageMaxAgeCountFreq[1]) return;
    next.ageMaxAgeCountFreq[0] = age;
    for (int i = 0; i < 3; ++i) {
        const float pos = p.positionSizeScale[i];
        const float acc =
            p.accelerationValue[i] * p.accelerationValue[3] + (p.attractorStrength[i] - pos) * p.attractorStrength[3];
        const float vel = p.velocityValue[i] + acc * dt;
        next.velocityValue[i] = vel;
        next.positionSizeScale[i] = pos + vel * dt;
    }
    out.push_back(next);
}
}  // namespace

std::vector<ParticleVertex> ParticleStepReference(const std::vector<ParticleVertex>& input,
                                                  const ParticleStepInputs& in) {
    std::vector<ParticleVertex> out;
    for (const ParticleVertex& v : input) {
        if (v.type == ParticleVertex::kEmitter) {
            StepEmitter(v, in, out);
        } else if (v.type == ParticleVertex::kLive) {
            StepLive(v, in, out);
        }
    }
    return out;
}
