#include "editor/mode/FocusPoint.h"

D3DXVECTOR3 FocusPoint(const D3DXVECTOR3& p, const D3DXVECTOR3& t, const D3DXVECTOR3& e) {
    D3DXVECTOR3 direction = t - p;
    D3DXVec3Normalize(&direction, &direction);
    return p + direction * (D3DXVec3Length(&e) * 1.1f);
}
