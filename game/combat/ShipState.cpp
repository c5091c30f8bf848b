#include "game/combat/ShipState.h"

#include "engine/Overlord.h"
#include "reflection/IMetaClass.h"
#include "reflection/MetaRegistry.h"

namespace {
u32 installedTypeId = 0;
ShipState::Reader installedReader = nullptr;
}  // namespace

void ShipState::Install(u32 playerTypeId, Reader reader) {
    installedTypeId = playerTypeId;
    installedReader = reader;
}

u32 ShipState::PlayerTypeId() {
    if (installedTypeId != 0) return installedTypeId;
    const MetaRegistry* registry = MetaRegistry::Instance();
    const IMetaClass* player = registry ? registry->GetByName("Player") : nullptr;
    return player ? player->GetTypeId() : 0;
}

IComponent* ShipState::FindPlayer(u32 objectId) {
    const u32 typeId = PlayerTypeId();
    Overlord* overlord = Overlord::Instance();
    return (typeId != 0 && overlord) ? overlord->GetComponent(objectId, typeId) : nullptr;
}

ShipState ShipState::Of(const IComponent& player) {
    return (installedReader && player.GetTypeId() == installedTypeId) ? installedReader(player) : ShipState{};
}
