// The component classes engine/ defines, for the start-up class table.
#pragma once
#include "engine/ComponentClassEntry.h"

const ComponentClassList& EngineClasses();
