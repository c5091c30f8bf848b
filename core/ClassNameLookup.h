// How engine code names a class by its type id without knowing reflection:
// the reflection registry installs its lookup at start-up; until then (and
// for unknown ids) the type id in decimal stands in. Main thread only.
#pragma once
#include <string>

#include "core/Types.h"

// Returns the class name registered under typeId, or null when none is.
using ClassNameLookup = const char* (*)(u32 typeId);

// Installs the lookup; null removes it.
void SetClassNameLookup(ClassNameLookup lookup);
// The class name for typeId, or the type id in decimal.
std::string GetClassName(u32 typeId);
