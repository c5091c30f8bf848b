// A data-only component: the damage an object would deal. Hits are settled
// from the Health values alone, so nothing reads it; it is loaded, saved and
// shown like any component. Owned by its object; main thread only.
#pragma once
#include "engine/Component.h"

class Damage : public Component<Damage> {
public:
    Damage() = default;
    static void Reflect(MemberList<Damage>& members);

    int damageAmount = 0;
};
