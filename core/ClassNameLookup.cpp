#include "core/ClassNameLookup.h"

namespace {
ClassNameLookup g_lookup = nullptr;
}  // namespace

void SetClassNameLookup(ClassNameLookup lookup) {
    g_lookup = lookup;
}

std::string GetClassName(u32 typeId) {
    if (g_lookup) {
        if (const char* name = g_lookup(typeId)) return name;
    }
    return std::to_string(typeId);
}
