#include "port/os/CRand.h"

#include <cstdint>

namespace {
std::uint32_t g_state = 1;
}

int CRand() {
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7FFFu);
}

void CSRand(unsigned seed) {
    g_state = seed;
}
