// particlearch <arch folder>: writes the particle archetypes as archetype
// files (assets/arch in the repository: `particlearch assets/arch`).
#include <cstdio>
#include <memory>
#include <string>

#include "core/IdCounter.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "reflection/MetaRegistry.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"
#include "scene/SceneWriter.h"
#include "tools/particletex/ParticleArchetypes.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: particlearch <arch folder>\n");
        return 2;
    }
    auto hub = std::make_unique<MessageHub>();
    auto counter = std::make_unique<IdCounter>(1);
    auto registry = std::make_unique<MetaRegistry>();
    auto graveyard = std::make_unique<Graveyard>();
    auto overlord = std::make_unique<Overlord>();
    auto factory = std::make_unique<ObjectFactory>();
    RegisterParticleArchetypeClasses(*registry, *factory);

    int status = 0;
    for (const ParticleArchetype& archetype : ParticleArchetypes()) {
        GameObject* object = archetype.design();
        const std::string path = std::string(argv[1]) + "/" + archetype.name + ".arch";
        std::string error;
        if (!WriteTextFile(path, SceneWriter::WriteArchetype(*object), &error)) {
            std::fprintf(stderr, "particlearch: %s\n", error.c_str());
            status = 1;
        } else {
            std::printf("%s\n", path.c_str());
        }
    }
    return status;
}
