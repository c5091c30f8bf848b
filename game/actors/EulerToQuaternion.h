// Angles in degrees to a unit rotation, the game's own Euler order: a alone
// turns about y, b alone about z, c alone about x. Used by the ship, the
// circling enemies and the heads-up display. Pure function.
#pragma once
#include "port/math/D3DX.h"

D3DXQUATERNION EulerToQuaternion(float a, float b, float c);
