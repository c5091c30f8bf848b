// A CPU copy of one stream-out step of the particle effect
// (assets/shader/ParticleIntegration, "StreamOutTech"), record for record in
// the order the geometry shader writes them. Tests compare the GPU stream
// with it; nothing in the program uses it.
#pragma once
#include <vector>

#include "render/particle/ParticleVertex.h"

struct ParticleStepInputs {
    float emitterPosition[3] = {0, 0, 0};
    float gameTime = 0;
    float timeStep = 0;
    bool emitterAlive = true;
    int emitCount = 23;         // particles one emitter record may start per step (at most 23)
    const float* randomTexels;  // 1024 x 4 floats, as bound to "randomTexture"
};

std::vector<ParticleVertex> ParticleStepReference(const std::vector<ParticleVertex>& input,
                                                  const ParticleStepInputs& in);
