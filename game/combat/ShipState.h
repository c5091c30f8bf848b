// What Health asks of the ship's Player without including its class: whether
// it shields and whether its abilities are disabled. The Player installs its
// type id and a reader here once (at its first construction). Main thread only.
#pragma once
#include "core/Types.h"

class IComponent;

struct ShipState {
    bool shielding = false;
    bool abilitiesDisabled = false;

    using Reader = ShipState (*)(const IComponent& player);
    // The Player's type id and its reader; a later call replaces both.
    static void Install(u32 playerTypeId, Reader reader);
    // The installed type id, else the one the class registry files under
    // "Player", else 0 (no Player class in this program).
    static u32 PlayerTypeId();
    // The object's Player component, or null.
    static IComponent* FindPlayer(u32 objectId);
    // Without an installed reader a player never shields.
    static ShipState Of(const IComponent& player);
};
