#include "game/combat/Damage.h"

void Damage::Reflect(MemberList<Damage>& members) {
    members.Add("damageAmount", &Damage::damageAmount);
}
