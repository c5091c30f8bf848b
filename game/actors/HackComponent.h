// A marker component without data or behaviour that scenes and archetypes
// may carry; GameLogic keeps a list of them and updates it to no effect.
// Owned by its object; main thread only.
#pragma once
#include "engine/Component.h"

class HackComponent : public Component<HackComponent> {};
