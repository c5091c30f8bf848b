// Where the level editor puts a new object or a camera: a point in front of
// an eye, far enough that an object of the given extent fits in view. A pure
// function.
#pragma once
#include "port/math/D3DX.h"

// p + normalise(t - p) x (|e| x 1.1): 1.1 times the length of the extent
// vector away from p, towards t. p itself when t == p.
D3DXVECTOR3 FocusPoint(const D3DXVECTOR3& p, const D3DXVECTOR3& t, const D3DXVECTOR3& e);
