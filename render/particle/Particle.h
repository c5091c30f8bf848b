// One description of a particle stream, as an emitter's "particles" list
// holds it (a plain reflected structure; its member names are the keys of
// scene and archetype files). RenderDevice turns each into one 136-byte seed
// vertex (ParticleVertex). Plain value, main thread.
#pragma once
#include "port/math/D3DX.h"
#include "reflection/Gradient.h"
#include "reflection/MemberList.h"

struct Particle {
    float spawnRate = 0.0f;  // bursts per second; 0: one burst when the emitter starts
    int count = 8;           // particles per burst
    float fadeOpacity = 1.0f;
    float maxAge = 2.0f;     // seconds
    float sizeScale = 1.0f;  // world units
    float velocity = 1.0f;   // speed along velocityDir, units per second
    float acceleration = 0.0f;
    D3DXVECTOR3 velocityDir{0.0f, 1.0f, 0.0f};
    D3DXVECTOR3 accelDir{0.0f, 1.0f, 0.0f};
    Gradient colorRange{D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f), D3DXCOLOR(0.0f, 0.0f, 0.0f, 1.0f)};
    D3DXVECTOR3 attractorParticle{0.0f, 0.0f, 0.0f};  // relative to the emitter
    float attractorStrength = 0.0f;
    unsigned alphaMaskIdx = 0;  // slice of the particle texture array

    // Builds the member records once, in the order spawnRate, count,
    // fadeOpacity, maxAge, sizeScale, velocityDir, velocity, accelDir,
    // acceleration, colorRange, attractorParticle, attractorStrength,
    // alphaMaskIdx.
    static void Reflect();
    static void Reflect(MemberList<Particle>& members);
};
