#include "game/track/SplineFrame.h"

#include <algorithm>
#include <cmath>

namespace {

// Below this sine between a direction and its up hint the hint is taken as
// parallel: a bend of under 0.06 degrees over a step is rounding, not shape.
constexpr float kParallelSine = 1e-3f;

D3DXVECTOR3 Normalized(const D3DXVECTOR3& v) {
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    return out;
}

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    D3DXVECTOR3 out;
    D3DXVec3Cross(&out, &a, &b);
    return out;
}

// v * R for the rotation about unit axis u with cosine c and sine s (row vectors).
D3DXVECTOR3 Rotate(const D3DXVECTOR3& v, const D3DXVECTOR3& u, float c, float s) {
    const float k = 1.0f - c;
    const float r00 = c + k * u.x * u.x, r01 = k * u.x * u.y + s * u.z, r02 = k * u.x * u.z - s * u.y;
    const float r10 = k * u.x * u.y - s * u.z, r11 = c + k * u.y * u.y, r12 = k * u.y * u.z + s * u.x;
    const float r20 = k * u.x * u.z + s * u.y, r21 = k * u.y * u.z - s * u.x, r22 = c + k * u.z * u.z;
    return D3DXVECTOR3(v.x * r00 + v.y * r10 + v.z * r20, v.x * r01 + v.y * r11 + v.z * r21,
                       v.x * r02 + v.y * r12 + v.z * r22);
}

}  // namespace

void SplineFrame::UpdateRotation() {
    const D3DXMATRIX m(up.x, up.y, up.z, 0.0f, side.x, side.y, side.z, 0.0f, forward.x, forward.y, forward.z, 0.0f,
                       0.0f, 0.0f, 0.0f, 1.0f);
    D3DXQuaternionRotationMatrix(&rotation, &m);
    D3DXQuaternionNormalize(&rotation, &rotation);
}

SplineFrame SplineFrame::FromDirection(const D3DXVECTOR3& direction, const D3DXVECTOR3& upHint) {
    const float length = D3DXVec3Length(&direction);
    const D3DXVECTOR3 c = Cross(direction, upHint);
    // |c| / |direction| is the hint's part across the direction.
    if (!(D3DXVec3Length(&c) > kParallelSine * length * length)) {
        return Transport(SplineFrame(), D3DXVECTOR3(0.0f, 0.0f, 0.0f), direction);
    }
    SplineFrame frame;
    frame.forward = Normalized(direction);
    frame.up = Normalized(Cross(c, direction));
    frame.side = Normalized(Cross(frame.forward, frame.up));
    frame.UpdateRotation();
    return frame;
}

SplineFrame SplineFrame::Transport(const SplineFrame& previous, const D3DXVECTOR3& point,
                                   const D3DXVECTOR3& direction) {
    SplineFrame frame = previous;
    frame.position = point;
    const D3DXVECTOR3 n = Normalized(direction);
    const D3DXVECTOR3& f = previous.forward;
    if (n == D3DXVECTOR3(0.0f, 0.0f, 0.0f) || n == f) return frame;
    // Single-precision f.n of two nearly parallel unit vectors can exceed 1.
    const float c = std::clamp(D3DXVec3Dot(&f, &n), -1.0f, 1.0f);
    const float s = std::sqrt(1.0f - c * c);
    D3DXVECTOR3 axis = Cross(f, n);
    if (axis == D3DXVECTOR3(0.0f, 0.0f, 0.0f)) {
        if (c > 0.0f) return frame;
        axis = previous.up;  // exact reversal: any axis across f does; up keeps the roll
    }
    const D3DXVECTOR3 u = Normalized(axis);
    frame.up = Normalized(Rotate(previous.up, u, c, s));
    frame.side = Normalized(Rotate(previous.side, u, c, s));
    frame.forward = Normalized(Rotate(previous.forward, u, c, s));
    frame.UpdateRotation();
    return frame;
}
