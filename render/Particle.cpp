#include "render/Particle.h"

#include "reflection/MetaMemVar.h"

void Particle::Reflect() {
    static const bool built = [] {
        Gradient::Reflect();
        Particle p;
        MetaMemVar<Particle>::Add("spawnRate", &p, p.spawnRate);
        MetaMemVar<Particle>::Add("count", &p, p.count);
        MetaMemVar<Particle>::Add("fadeOpacity", &p, p.fadeOpacity);
        MetaMemVar<Particle>::Add("maxAge", &p, p.maxAge);
        MetaMemVar<Particle>::Add("sizeScale", &p, p.sizeScale);
        MetaMemVar<Particle>::Add("velocityDir", &p, p.velocityDir);
        MetaMemVar<Particle>::Add("velocity", &p, p.velocity);
        MetaMemVar<Particle>::Add("accelDir", &p, p.accelDir);
        MetaMemVar<Particle>::Add("acceleration", &p, p.acceleration);
        MetaMemVar<Particle>::Add("colorRange", &p, p.colorRange);
        MetaMemVar<Particle>::Add("attractorParticle", &p, p.attractorParticle);
        MetaMemVar<Particle>::Add("attractorStrength", &p, p.attractorStrength);
        MetaMemVar<Particle>::Add("alphaMaskIdx", &p, p.alphaMaskIdx);
        return true;
    }();
    (void)built;
}
