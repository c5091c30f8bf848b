// D3DX plane a x + b y + c z + d = 0 (a, b, c, d at byte offsets 0..12);
// (a, b, c) is the normal. Used for frustum planes and picking.
// Default construction gives (0, 0, 0, 0).
#pragma once

#include "port/math/D3DXVector.h"

struct D3DXPLANE {
    float a = 0.0f;
    float b = 0.0f;
    float c = 0.0f;
    float d = 0.0f;

    D3DXPLANE() = default;
    D3DXPLANE(float a_, float b_, float c_, float d_) : a(a_), b(b_), c(c_), d(d_) {}
    explicit D3DXPLANE(const float* f) : a(f[0]), b(f[1]), c(f[2]), d(f[3]) {}

    D3DXPLANE operator+() const { return *this; }
    D3DXPLANE operator-() const { return {-a, -b, -c, -d}; }
    D3DXPLANE operator*(float s) const { return {a * s, b * s, c * s, d * s}; }
    D3DXPLANE operator/(float s) const { return {a / s, b / s, c / s, d / s}; }
    friend D3DXPLANE operator*(float s, const D3DXPLANE& p) { return p * s; }
    D3DXPLANE& operator*=(float s) {
        a *= s;
        b *= s;
        c *= s;
        d *= s;
        return *this;
    }
    D3DXPLANE& operator/=(float s) {
        a /= s;
        b /= s;
        c /= s;
        d /= s;
        return *this;
    }

    bool operator==(const D3DXPLANE& p) const { return a == p.a && b == p.b && c == p.c && d == p.d; }
    bool operator!=(const D3DXPLANE& p) const { return !(*this == p); }
};

// Signed distance (for a normalised plane) of point v: a x + b y + c z + d.
inline float D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v) {
    return p->a * v->x + p->b * v->y + p->c * v->z + p->d;
}
// Normal dotted with direction v: a x + b y + c z.
inline float D3DXPlaneDotNormal(const D3DXPLANE* p, const D3DXVECTOR3* v) {
    return p->a * v->x + p->b * v->y + p->c * v->z;
}
inline float D3DXPlaneDot(const D3DXPLANE* p, const D3DXVECTOR4* v) {
    return p->a * v->x + p->b * v->y + p->c * v->z + p->d * v->w;
}
// Divides all four by the normal's length; a zero normal gives the zero plane.
D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p);
// Plane through point with the given normal (used as it is, not normalised).
D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal);
// Plane through three points, normal = normalise((v2 - v1) x (v3 - v1)).
D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2, const D3DXVECTOR3* v3);
// Where the infinite line through v1 and v2 meets the plane; nullptr (out
// untouched) when the line is parallel to it.
D3DXVECTOR3* D3DXPlaneIntersectLine(D3DXVECTOR3* out, const D3DXPLANE* p, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2);
