// The component classes frontend/ defines, for the start-up class table. A
// new front-end component is one line here; app/ sorts the merged list.
#pragma once
#include "engine/ComponentClassEntry.h"

const ComponentClassList& FrontendClasses();
