// The component classes editor/ defines, for the start-up class table.
#pragma once
#include "engine/ComponentClassEntry.h"

const ComponentClassList& EditorClasses();
