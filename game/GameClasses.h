// The component classes game/ defines, for the start-up class table. A new
// gameplay component is one line here; app/ sorts the merged list.
#pragma once
#include "engine/ComponentClassEntry.h"

const ComponentClassList& GameClasses();
