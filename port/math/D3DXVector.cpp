#include "port/math/D3DXVector.h"

#include <algorithm>
#include <type_traits>

#include "port/math/D3DXMatrix.h"

D3DXVECTOR2* D3DXVec2Add(D3DXVECTOR2* out, const D3DXVECTOR2* a, const D3DXVECTOR2* b) {
    *out = *a + *b;
    return out;
}

D3DXVECTOR2* D3DXVec2Subtract(D3DXVECTOR2* out, const D3DXVECTOR2* a, const D3DXVECTOR2* b) {
    *out = *a - *b;
    return out;
}

D3DXVECTOR2* D3DXVec2Scale(D3DXVECTOR2* out, const D3DXVECTOR2* v, float s) {
    *out = *v * s;
    return out;
}

D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* out, const D3DXVECTOR2* v) {
    const float length = D3DXVec2Length(v);
    *out = length > 0.0f ? *v / length : D3DXVECTOR2();
    return out;
}

D3DXVECTOR2* D3DXVec2Lerp(D3DXVECTOR2* out, const D3DXVECTOR2* a, const D3DXVECTOR2* b, float t) {
    *out = *a + (*b - *a) * t;
    return out;
}

D3DXVECTOR2* D3DXVec2Minimize(D3DXVECTOR2* out, const D3DXVECTOR2* a, const D3DXVECTOR2* b) {
    *out = D3DXVECTOR2(std::min(a->x, b->x), std::min(a->y, b->y));
    return out;
}

D3DXVECTOR2* D3DXVec2Maximize(D3DXVECTOR2* out, const D3DXVECTOR2* a, const D3DXVECTOR2* b) {
    *out = D3DXVECTOR2(std::max(a->x, b->x), std::max(a->y, b->y));
    return out;
}

D3DXVECTOR4* D3DXVec2Transform(D3DXVECTOR4* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    const D3DXVECTOR4 in(v->x, v->y, 0.0f, 1.0f);
    return D3DXVec4Transform(out, &in, m);
}

D3DXVECTOR2* D3DXVec2TransformCoord(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    D3DXVECTOR4 r;
    D3DXVec2Transform(&r, v, m);
    *out = r.w != 0.0f ? D3DXVECTOR2(r.x / r.w, r.y / r.w) : D3DXVECTOR2(r.x, r.y);
    return out;
}

D3DXVECTOR2* D3DXVec2TransformNormal(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    const D3DXVECTOR4 in(v->x, v->y, 0.0f, 0.0f);
    D3DXVECTOR4 r;
    D3DXVec4Transform(&r, &in, m);
    *out = D3DXVECTOR2(r.x, r.y);
    return out;
}

D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = *a + *b;
    return out;
}

D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = *a - *b;
    return out;
}

D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* out, const D3DXVECTOR3* v, float s) {
    *out = *v * s;
    return out;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    const float length = D3DXVec3Length(v);
    *out = length > 0.0f ? *v / length : D3DXVECTOR3();
    return out;
}

D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, float t) {
    *out = *a + (*b - *a) * t;
    return out;
}

D3DXVECTOR3* D3DXVec3Minimize(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = D3DXVECTOR3(std::min(a->x, b->x), std::min(a->y, b->y), std::min(a->z, b->z));
    return out;
}

D3DXVECTOR3* D3DXVec3Maximize(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = D3DXVECTOR3(std::max(a->x, b->x), std::max(a->y, b->y), std::max(a->z, b->z));
    return out;
}

D3DXVECTOR3* D3DXVec3CatmullRom(D3DXVECTOR3* out, const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                                const D3DXVECTOR3* p3, float t) {
    const float t2 = t * t;
    const float t3 = t2 * t;
    *out = 0.5f * (2.0f * *p1 + (*p2 - *p0) * t + (2.0f * *p0 - 5.0f * *p1 + 4.0f * *p2 - *p3) * t2 +
                   (-*p0 + 3.0f * *p1 - 3.0f * *p2 + *p3) * t3);
    return out;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    const D3DXVECTOR4 in(*v, 1.0f);
    return D3DXVec4Transform(out, &in, m);
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    D3DXVECTOR4 r;
    D3DXVec3Transform(&r, v, m);
    *out = r.w != 0.0f ? D3DXVECTOR3(r.x / r.w, r.y / r.w, r.z / r.w) : D3DXVECTOR3(r.x, r.y, r.z);
    return out;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    const D3DXVECTOR4 in(*v, 0.0f);
    D3DXVECTOR4 r;
    D3DXVec4Transform(&r, &in, m);
    *out = D3DXVECTOR3(r.x, r.y, r.z);
    return out;
}

D3DXVECTOR4* D3DXVec4Add(D3DXVECTOR4* out, const D3DXVECTOR4* a, const D3DXVECTOR4* b) {
    *out = *a + *b;
    return out;
}

D3DXVECTOR4* D3DXVec4Subtract(D3DXVECTOR4* out, const D3DXVECTOR4* a, const D3DXVECTOR4* b) {
    *out = *a - *b;
    return out;
}

D3DXVECTOR4* D3DXVec4Scale(D3DXVECTOR4* out, const D3DXVECTOR4* v, float s) {
    *out = *v * s;
    return out;
}

D3DXVECTOR4* D3DXVec4Normalize(D3DXVECTOR4* out, const D3DXVECTOR4* v) {
    const float length = D3DXVec4Length(v);
    *out = length > 0.0f ? *v / length : D3DXVECTOR4();
    return out;
}

D3DXVECTOR4* D3DXVec4Lerp(D3DXVECTOR4* out, const D3DXVECTOR4* a, const D3DXVECTOR4* b, float t) {
    *out = *a + (*b - *a) * t;
    return out;
}

D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m) {
    const D3DXVECTOR4 r(v->x * m->_11 + v->y * m->_21 + v->z * m->_31 + v->w * m->_41,
                        v->x * m->_12 + v->y * m->_22 + v->z * m->_32 + v->w * m->_42,
                        v->x * m->_13 + v->y * m->_23 + v->z * m->_33 + v->w * m->_43,
                        v->x * m->_14 + v->y * m->_24 + v->z * m->_34 + v->w * m->_44);
    *out = r;
    return out;
}

static_assert(sizeof(D3DXVECTOR2) == 8 && sizeof(D3DXVECTOR3) == 12 && sizeof(D3DXVECTOR4) == 16);
static_assert(std::is_standard_layout_v<D3DXVECTOR3> && std::is_trivially_copyable_v<D3DXVECTOR3>);
static_assert(std::is_standard_layout_v<D3DXVECTOR2> && std::is_trivially_copyable_v<D3DXVECTOR2>);
static_assert(std::is_standard_layout_v<D3DXVECTOR4> && std::is_trivially_copyable_v<D3DXVECTOR4>);
