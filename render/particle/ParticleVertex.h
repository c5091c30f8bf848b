// The 136-byte GPU record of one particle stream entry (vertex format row 6):
// the seed vertex built from a Particle, and the record the stream-out pass
// reads and writes every frame. TYPE 0 marks an emitter record (a seed and
// what the simulation keeps of it), TYPE 1 a live particle. What the free
// slots hold in streamed records is the particle effect's own state (see
// assets/shader/ParticleIntegration). Plain data, copied byte for byte.
#pragma once
#include <cstddef>
#include <type_traits>

#include "core/Types.h"

struct Particle;

struct ParticleVertex {
    static constexpr u32 kEmitter = 0;
    static constexpr u32 kLive = 1;

    float positionSizeScale[4];   // POSITION_SIZESCALE: position, size
    float velocityValue[4];       // VELOCITY_VALUE: direction, speed
    float accelerationValue[4];   // ACCELERATION_VALUE: direction, magnitude
    float attractorStrength[4];   // ATTRACTOR_STRENGTH: attractor location, strength
    float gradStart[4];           // GRADSTART: colour at birth
    float gradEnd[4];             // GRADEND: colour at death
    float fadeOpacityFree[4];     // FADEOPACITY_FREE: fade rate, three free slots
    float ageMaxAgeCountFreq[4];  // AGE_MAXAGE_COUNT_FREQ: age, max age, count, frequency
    u32 alphaTex;                 // ALPHATEX: particle texture array slice
    u32 type;                     // TYPE

    // The seed vertex of one description: zero position and age, TYPE 0.
    static ParticleVertex FromParticle(const Particle& particle);
};

static_assert(sizeof(ParticleVertex) == 136, "particle records are 136 bytes");
static_assert(offsetof(ParticleVertex, ageMaxAgeCountFreq) == 112);
static_assert(offsetof(ParticleVertex, alphaTex) == 128);
static_assert(offsetof(ParticleVertex, type) == 132);
static_assert(std::is_trivially_copyable_v<ParticleVertex>);
