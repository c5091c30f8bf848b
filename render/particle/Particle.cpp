#include "render/particle/Particle.h"

void Particle::Reflect() {
    ReflectOnce<Particle>();
}

void Particle::Reflect(MemberList<Particle>& members) {
    Gradient::Reflect();
    members.Add("spawnRate", &Particle::spawnRate);
    members.Add("count", &Particle::count);
    members.Add("fadeOpacity", &Particle::fadeOpacity);
    members.Add("maxAge", &Particle::maxAge);
    members.Add("sizeScale", &Particle::sizeScale);
    members.Add("velocityDir", &Particle::velocityDir);
    members.Add("velocity", &Particle::velocity);
    members.Add("accelDir", &Particle::accelDir);
    members.Add("acceleration", &Particle::acceleration);
    members.Add("colorRange", &Particle::colorRange);
    members.Add("attractorParticle", &Particle::attractorParticle);
    members.Add("attractorStrength", &Particle::attractorStrength);
    members.Add("alphaMaskIdx", &Particle::alphaMaskIdx);
}
