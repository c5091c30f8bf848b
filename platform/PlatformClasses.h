// The component classes platform/ defines, for the start-up class table.
#pragma once
#include "engine/ComponentClassEntry.h"

const ComponentClassList& PlatformClasses();
