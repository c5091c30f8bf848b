#include "game/actors/EulerToQuaternion.h"

#include <cmath>

D3DXQUATERNION EulerToQuaternion(float a, float b, float c) {
    constexpr float kHalfDegree = 0.5f * (D3DX_PI / 180.0f);
    const float ha = a * kHalfDegree, hb = b * kHalfDegree, hc = c * kHalfDegree;
    const float ca = std::cos(ha), sa = std::sin(ha);
    const float cb = std::cos(hb), sb = std::sin(hb);
    const float cc = std::cos(hc), sc = std::sin(hc);
    D3DXQUATERNION q(cb * ca * sc - sb * cc * sa, ca * sc * sb + cc * sa * cb, sb * ca * cc - cb * sc * sa,
                     ca * cc * cb + sc * sa * sb);
    D3DXQuaternionNormalize(&q, &q);
    return q;
}
