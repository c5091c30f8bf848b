// The D3DX mathematical vocabulary in one include: vectors, matrices,
// quaternions, colours, planes, projection and picking helpers.
#pragma once

#include "port/math/D3DXColor.h"
#include "port/math/D3DXConstants.h"
#include "port/math/D3DXGeometry.h"
#include "port/math/D3DXMatrix.h"
#include "port/math/D3DXPlane.h"
#include "port/math/D3DXQuaternion.h"
#include "port/math/D3DXVector.h"
