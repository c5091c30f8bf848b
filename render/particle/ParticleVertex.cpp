#include "render/particle/ParticleVertex.h"

#include "render/particle/Particle.h"

ParticleVertex ParticleVertex::FromParticle(const Particle& p) {
    ParticleVertex v{};
    v.positionSizeScale[3] = p.sizeScale;
    v.velocityValue[0] = p.velocityDir.x;
    v.velocityValue[1] = p.velocityDir.y;
    v.velocityValue[2] = p.velocityDir.z;
    v.velocityValue[3] = p.velocity;
    v.accelerationValue[0] = p.accelDir.x;
    v.accelerationValue[1] = p.accelDir.y;
    v.accelerationValue[2] = p.accelDir.z;
    v.accelerationValue[3] = p.acceleration;
    v.attractorStrength[0] = p.attractorParticle.x;
    v.attractorStrength[1] = p.attractorParticle.y;
    v.attractorStrength[2] = p.attractorParticle.z;
    v.attractorStrength[3] = p.attractorStrength;
    const D3DXCOLOR& start = p.colorRange.StartVal;
    const D3DXCOLOR& end = p.colorRange.EndVal;
    v.gradStart[0] = start.r, v.gradStart[1] = start.g, v.gradStart[2] = start.b, v.gradStart[3] = start.a;
    v.gradEnd[0] = end.r, v.gradEnd[1] = end.g, v.gradEnd[2] = end.b, v.gradEnd[3] = end.a;
    v.fadeOpacityFree[0] = p.fadeOpacity;
    v.ageMaxAgeCountFreq[1] = p.maxAge;
    v.ageMaxAgeCountFreq[2] = static_cast<float>(p.count);
    v.ageMaxAgeCountFreq[3] = p.spawnRate;
    v.alphaTex = p.alphaMaskIdx;
    v.type = kEmitter;
    return v;
}
