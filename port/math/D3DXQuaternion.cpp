#include "port/math/D3DXQuaternion.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "port/math/D3DXMatrix.h"

D3DXQUATERNION& D3DXQUATERNION::operator*=(const D3DXQUATERNION& q) {
    D3DXQuaternionMultiply(this, this, &q);
    return *this;
}

D3DXQUATERNION D3DXQUATERNION::operator*(const D3DXQUATERNION& q) const {
    D3DXQUATERNION r;
    D3DXQuaternionMultiply(&r, this, &q);
    return r;
}

D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* out) {
    *out = D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
    return out;
}

bool D3DXQuaternionIsIdentity(const D3DXQUATERNION* q) {
    return *q == D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
}

D3DXQUATERNION* D3DXQuaternionConjugate(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    *out = D3DXQUATERNION(-q->x, -q->y, -q->z, q->w);
    return out;
}

D3DXQUATERNION* D3DXQuaternionInverse(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    const float lengthSq = D3DXQuaternionLengthSq(q);
    if (lengthSq == 0.0f) {
        *out = D3DXQUATERNION();
        return out;
    }
    D3DXQuaternionConjugate(out, q);
    *out /= lengthSq;
    return out;
}

D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    const float length = D3DXQuaternionLength(q);
    *out = length > 0.0f ? *q / length : D3DXQUATERNION();
    return out;
}

D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2) {
    // Hamilton product a b with a = q2, b = q1.
    const D3DXQUATERNION a = *q2, b = *q1;
    *out = D3DXQUATERNION(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                          a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
    return out;
}

D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, float angle) {
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, axis);
    if (n == D3DXVECTOR3()) return D3DXQuaternionIdentity(out);
    const float s = std::sin(angle * 0.5f);
    *out = D3DXQUATERNION(n.x * s, n.y * s, n.z * s, std::cos(angle * 0.5f));
    return out;
}

D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* m) {
    // For a rotation matrix, trace = 4 w^2 - 1 and the off-diagonal sums and
    // differences give 4 x y, 4 z w and so on. Solve for the largest of
    // w, x, y, z first so the divisor stays well away from zero.
    const float trace = m->_11 + m->_22 + m->_33;
    D3DXQUATERNION q;
    if (trace > 0.0f) {
        const float s = 2.0f * std::sqrt(trace + 1.0f);  // 4 w
        q = D3DXQUATERNION((m->_23 - m->_32) / s, (m->_31 - m->_13) / s, (m->_12 - m->_21) / s, 0.25f * s);
    } else if (m->_11 >= m->_22 && m->_11 >= m->_33) {
        const float s = 2.0f * std::sqrt(std::max(0.0f, 1.0f + m->_11 - m->_22 - m->_33));  // 4 x
        q = D3DXQUATERNION(0.25f * s, (m->_12 + m->_21) / s, (m->_13 + m->_31) / s, (m->_23 - m->_32) / s);
    } else if (m->_22 >= m->_33) {
        const float s = 2.0f * std::sqrt(std::max(0.0f, 1.0f + m->_22 - m->_11 - m->_33));  // 4 y
        q = D3DXQUATERNION((m->_12 + m->_21) / s, 0.25f * s, (m->_23 + m->_32) / s, (m->_31 - m->_13) / s);
    } else {
        const float s = 2.0f * std::sqrt(std::max(0.0f, 1.0f + m->_33 - m->_11 - m->_22));  // 4 z
        q = D3DXQUATERNION((m->_13 + m->_31) / s, (m->_23 + m->_32) / s, 0.25f * s, (m->_12 - m->_21) / s);
    }
    if (!std::isfinite(q.x) || !std::isfinite(q.y) || !std::isfinite(q.z) || !std::isfinite(q.w))
        q = D3DXQUATERNION();  // non-finite input; the divisors above are never below 2
    *out = q;
    return out;
}

D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* out, float yaw, float pitch, float roll) {
    const float sy = std::sin(yaw * 0.5f), cy = std::cos(yaw * 0.5f);
    const float sp = std::sin(pitch * 0.5f), cp = std::cos(pitch * 0.5f);
    const float sr = std::sin(roll * 0.5f), cr = std::cos(roll * 0.5f);
    // Roll, then pitch, then yaw: the Hamilton product qYaw qPitch qRoll.
    *out = D3DXQUATERNION(cy * sp * cr + sy * cp * sr, sy * cp * cr - cy * sp * sr, cy * cp * sr - sy * sp * cr,
                          cy * cp * cr + sy * sp * sr);
    return out;
}

D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2, float t) {
    float cosTheta = D3DXQuaternionDot(q1, q2);
    float sign = 1.0f;
    if (cosTheta < 0.0f) {
        cosTheta = -cosTheta;
        sign = -1.0f;
    }
    float w1 = 1.0f - t, w2 = t;
    if (cosTheta < 0.999f) {
        // Far enough apart for the spherical weights to be accurate; closer
        // quaternions interpolate linearly.
        const float theta = std::acos(cosTheta);
        const float sinTheta = std::sin(theta);
        w1 = std::sin((1.0f - t) * theta) / sinTheta;
        w2 = std::sin(t * theta) / sinTheta;
    }
    *out = *q1 * w1 + *q2 * (w2 * sign);
    return out;
}

void D3DXQuaternionToAxisAngle(const D3DXQUATERNION* q, D3DXVECTOR3* axis, float* angle) {
    if (axis) *axis = D3DXVECTOR3(q->x, q->y, q->z);
    if (angle) *angle = 2.0f * std::acos(std::clamp(q->w, -1.0f, 1.0f));
}

static_assert(sizeof(D3DXQUATERNION) == 16);
static_assert(std::is_standard_layout_v<D3DXQUATERNION> && std::is_trivially_copyable_v<D3DXQUATERNION>);
