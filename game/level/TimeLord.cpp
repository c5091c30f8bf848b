#include "game/level/TimeLord.h"

#include <cmath>

#include "engine/Logger.h"
#include "game/level/BroadcastTriggerCode.h"

void TimeLord::Reflect(MemberList<TimeLord>& members) {
    members.Add("times", &TimeLord::times);
    members.Add("codes", &TimeLord::codes);
}

void TimeLord::Update(float step) {
    elapsed += static_cast<double>(step);
    while (index < times.size() && std::isnan(times[index])) {
        Log("TimeLord %u on object %u: times[%u] is not a number; the entry is left out", GetId(), GetOwner(), index);
        ++index;
    }
    if (index >= times.size() || static_cast<double>(times[index]) > elapsed) return;
    if (index >= codes.size()) {
        Log("TimeLord %u on object %u: times has %zu entries but codes only %zu; times from %u on send nothing",
            GetId(), GetOwner(), times.size(), codes.size(), index);
        index = static_cast<u32>(times.size());
        return;
    }
    BroadcastTriggerCode(GetOwner(), codes[index++]);
}
