// D3DX quaternion (x, y, z, w at byte offsets 0, 4, 8, 12), the rotation type
// of transforms and cameras. D3DXQuaternionMultiply(q1, q2) is the rotation q1
// followed by q2, i.e. the Hamilton product q2 q1; operator* has the same
// order. Default construction gives (0, 0, 0, 0), not identity.
#pragma once

#include "port/math/D3DXVector.h"

struct D3DXMATRIX;

struct D3DXQUATERNION {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    D3DXQUATERNION() = default;
    D3DXQUATERNION(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    explicit D3DXQUATERNION(const float* f) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}

    D3DXQUATERNION& operator+=(const D3DXQUATERNION& q) {
        x += q.x;
        y += q.y;
        z += q.z;
        w += q.w;
        return *this;
    }
    D3DXQUATERNION& operator-=(const D3DXQUATERNION& q) {
        x -= q.x;
        y -= q.y;
        z -= q.z;
        w -= q.w;
        return *this;
    }
    D3DXQUATERNION& operator*=(const D3DXQUATERNION& q);
    D3DXQUATERNION& operator*=(float s) {
        x *= s;
        y *= s;
        z *= s;
        w *= s;
        return *this;
    }
    D3DXQUATERNION& operator/=(float s) {
        x /= s;
        y /= s;
        z /= s;
        w /= s;
        return *this;
    }

    D3DXQUATERNION operator+() const { return *this; }
    D3DXQUATERNION operator-() const { return {-x, -y, -z, -w}; }
    D3DXQUATERNION operator+(const D3DXQUATERNION& q) const { return {x + q.x, y + q.y, z + q.z, w + q.w}; }
    D3DXQUATERNION operator-(const D3DXQUATERNION& q) const { return {x - q.x, y - q.y, z - q.z, w - q.w}; }
    // This rotation followed by q.
    D3DXQUATERNION operator*(const D3DXQUATERNION& q) const;
    D3DXQUATERNION operator*(float s) const { return {x * s, y * s, z * s, w * s}; }
    D3DXQUATERNION operator/(float s) const { return {x / s, y / s, z / s, w / s}; }
    friend D3DXQUATERNION operator*(float s, const D3DXQUATERNION& q) { return q * s; }

    bool operator==(const D3DXQUATERNION& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }
    bool operator!=(const D3DXQUATERNION& q) const { return !(*this == q); }
};

inline float D3DXQuaternionDot(const D3DXQUATERNION* a, const D3DXQUATERNION* b) {
    return a->x * b->x + a->y * b->y + a->z * b->z + a->w * b->w;
}
inline float D3DXQuaternionLengthSq(const D3DXQUATERNION* q) {
    return D3DXQuaternionDot(q, q);
}
inline float D3DXQuaternionLength(const D3DXQUATERNION* q) {
    return std::sqrt(D3DXQuaternionLengthSq(q));
}

D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* out);
bool D3DXQuaternionIsIdentity(const D3DXQUATERNION* q);
D3DXQUATERNION* D3DXQuaternionConjugate(D3DXQUATERNION* out, const D3DXQUATERNION* q);
// conj(q) / |q|^2; the zero quaternion gives zero.
D3DXQUATERNION* D3DXQuaternionInverse(D3DXQUATERNION* out, const D3DXQUATERNION* q);
// The zero quaternion normalises to zero.
D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q);
// q1 followed by q2: the Hamilton product q2 q1. out may alias either input.
D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2);
// Angle in radians about the axis, which is normalised first; a zero axis
// gives identity.
D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, float angle);
// The rotation part of m (upper 3x3, assumed orthonormal).
D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* m);
// Roll about z first, then pitch about x, then yaw about y.
D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* out, float yaw, float pitch, float roll);
// Spherical interpolation along the shorter arc; t = 0 gives q1, t = 1 gives
// q2 or -q2 (the same rotation).
D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2, float t);
// axis := (x, y, z) as stored (not normalised); angle := 2 acos(w).
void D3DXQuaternionToAxisAngle(const D3DXQUATERNION* q, D3DXVECTOR3* axis, float* angle);
