#include "tests/support/TestIdCounter.h"

#include <algorithm>

namespace {
u32 gNextFree = 1;  // past the highest id any test counter handed out

// Past every id drawn so far. With no counter live, NewId() draws from the
// fallback counter, whose next value is then one past the returned id.
u32 FirstFreeId() {
    const u32 fallbackNext = IdCounter::Instance() ? 1 : NewId() + 1;
    const u32 liveNext = IdCounter::Instance() ? IdCounter::Instance()->Peek() : 1;
    return std::max({gNextFree, fallbackNext, liveNext});
}
}  // namespace

TestIdCounter::TestIdCounter() : IdCounter(FirstFreeId()) {}

TestIdCounter::~TestIdCounter() {
    gNextFree = std::max(gNextFree, Peek());
}
