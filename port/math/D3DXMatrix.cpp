#include "port/math/D3DXMatrix.h"

#include <cmath>
#include <type_traits>

#include "port/math/D3DXQuaternion.h"

D3DXMATRIX::D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23, float f24,
                       float f31, float f32, float f33, float f34, float f41, float f42, float f43, float f44)
    : m{{f11, f12, f13, f14}, {f21, f22, f23, f24}, {f31, f32, f33, f34}, {f41, f42, f43, f44}} {}

D3DXMATRIX::D3DXMATRIX(const float* f) : m{} {
    for (int i = 0; i < 16; ++i) m[i / 4][i % 4] = f[i];
}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& b) {
    D3DXMatrixMultiply(this, this, &b);
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& b) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m[r][c] += b.m[r][c];
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& b) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m[r][c] -= b.m[r][c];
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator*=(float s) {
    for (auto& row : m)
        for (float& v : row) v *= s;
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator/=(float s) {
    for (auto& row : m)
        for (float& v : row) v /= s;
    return *this;
}

D3DXMATRIX D3DXMATRIX::operator-() const {
    return *this * -1.0f;
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& b) const {
    D3DXMATRIX r;
    D3DXMatrixMultiply(&r, this, &b);
    return r;
}

D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& b) const {
    D3DXMATRIX r = *this;
    return r += b;
}

D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& b) const {
    D3DXMATRIX r = *this;
    return r -= b;
}

D3DXMATRIX D3DXMATRIX::operator*(float s) const {
    D3DXMATRIX r = *this;
    return r *= s;
}

D3DXMATRIX D3DXMATRIX::operator/(float s) const {
    D3DXMATRIX r = *this;
    return r /= s;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& b) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (m[r][c] != b.m[r][c]) return false;
    return true;
}

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

bool D3DXMatrixIsIdentity(const D3DXMATRIX* m) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    return *m == identity;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] =
                a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] + a->m[i][2] * b->m[2][j] + a->m[i][3] * b->m[3][j];
    *out = r;
    return out;
}

D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m) {
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = m->m[j][i];
    *out = r;
    return out;
}

namespace {
// The 2x2 minors of the lower two rows (s) and the upper two rows (c), from
// which both the determinant and the adjugate follow (Laplace expansion by
// complementary minors).
struct Minors {
    double s[6];
    double c[6];
};

Minors ComputeMinors(const D3DXMATRIX& a) {
    const auto m = [&a](int r, int c) { return static_cast<double>(a.m[r][c]); };
    Minors k{};
    k.s[0] = m(0, 0) * m(1, 1) - m(1, 0) * m(0, 1);
    k.s[1] = m(0, 0) * m(1, 2) - m(1, 0) * m(0, 2);
    k.s[2] = m(0, 0) * m(1, 3) - m(1, 0) * m(0, 3);
    k.s[3] = m(0, 1) * m(1, 2) - m(1, 1) * m(0, 2);
    k.s[4] = m(0, 1) * m(1, 3) - m(1, 1) * m(0, 3);
    k.s[5] = m(0, 2) * m(1, 3) - m(1, 2) * m(0, 3);
    k.c[5] = m(2, 2) * m(3, 3) - m(3, 2) * m(2, 3);
    k.c[4] = m(2, 1) * m(3, 3) - m(3, 1) * m(2, 3);
    k.c[3] = m(2, 1) * m(3, 2) - m(3, 1) * m(2, 2);
    k.c[2] = m(2, 0) * m(3, 3) - m(3, 0) * m(2, 3);
    k.c[1] = m(2, 0) * m(3, 2) - m(3, 0) * m(2, 2);
    k.c[0] = m(2, 0) * m(3, 1) - m(3, 0) * m(2, 1);
    return k;
}

double Determinant(const Minors& k) {
    return k.s[0] * k.c[5] - k.s[1] * k.c[4] + k.s[2] * k.c[3] + k.s[3] * k.c[2] - k.s[4] * k.c[1] + k.s[5] * k.c[0];
}
}  // namespace

float D3DXMatrixDeterminant(const D3DXMATRIX* m) {
    return static_cast<float>(Determinant(ComputeMinors(*m)));
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* in) {
    const Minors k = ComputeMinors(*in);
    const double det = Determinant(k);
    if (determinant) *determinant = static_cast<float>(det);
    if (det == 0.0 || !std::isfinite(det)) return nullptr;
    const auto m = [in](int r, int c) { return static_cast<double>(in->m[r][c]); };
    const double inv = 1.0 / det;
    const double r[4][4] = {
        {(m(1, 1) * k.c[5] - m(1, 2) * k.c[4] + m(1, 3) * k.c[3]),
         (-m(0, 1) * k.c[5] + m(0, 2) * k.c[4] - m(0, 3) * k.c[3]),
         (m(3, 1) * k.s[5] - m(3, 2) * k.s[4] + m(3, 3) * k.s[3]),
         (-m(2, 1) * k.s[5] + m(2, 2) * k.s[4] - m(2, 3) * k.s[3])},
        {(-m(1, 0) * k.c[5] + m(1, 2) * k.c[2] - m(1, 3) * k.c[1]),
         (m(0, 0) * k.c[5] - m(0, 2) * k.c[2] + m(0, 3) * k.c[1]),
         (-m(3, 0) * k.s[5] + m(3, 2) * k.s[2] - m(3, 3) * k.s[1]),
         (m(2, 0) * k.s[5] - m(2, 2) * k.s[2] + m(2, 3) * k.s[1])},
        {(m(1, 0) * k.c[4] - m(1, 1) * k.c[2] + m(1, 3) * k.c[0]),
         (-m(0, 0) * k.c[4] + m(0, 1) * k.c[2] - m(0, 3) * k.c[0]),
         (m(3, 0) * k.s[4] - m(3, 1) * k.s[2] + m(3, 3) * k.s[0]),
         (-m(2, 0) * k.s[4] + m(2, 1) * k.s[2] - m(2, 3) * k.s[0])},
        {(-m(1, 0) * k.c[3] + m(1, 1) * k.c[1] - m(1, 2) * k.c[0]),
         (m(0, 0) * k.c[3] - m(0, 1) * k.c[1] + m(0, 2) * k.c[0]),
         (-m(3, 0) * k.s[3] + m(3, 1) * k.s[1] - m(3, 2) * k.s[0]),
         (m(2, 0) * k.s[3] - m(2, 1) * k.s[1] + m(2, 2) * k.s[0])},
    };
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) out->m[i][j] = static_cast<float>(r[i][j] * inv);
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
    *out = D3DXMATRIX(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle) {
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, axis);
    if (n == D3DXVECTOR3()) return D3DXMatrixIdentity(out);
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    *out = D3DXMATRIX(t * n.x * n.x + c, t * n.x * n.y + s * n.z, t * n.x * n.z - s * n.y, 0, t * n.x * n.y - s * n.z,
                      t * n.y * n.y + c, t * n.y * n.z + s * n.x, 0, t * n.x * n.z + s * n.y, t * n.y * n.z - s * n.x,
                      t * n.z * n.z + c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q) {
    const float x = q->x, y = q->y, z = q->z, w = q->w;
    *out = D3DXMATRIX(1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0, 2 * (x * y - z * w),
                      1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0, 2 * (x * z + y * w), 2 * (y * z - x * w),
                      1 - 2 * (x * x + y * y), 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll) {
    D3DXMATRIX rz, rx, ry;
    D3DXMatrixRotationZ(&rz, roll);
    D3DXMatrixRotationX(&rx, pitch);
    D3DXMatrixRotationY(&ry, yaw);
    *out = rz * rx * ry;
    return out;
}

D3DXMATRIX* D3DXMatrixTransformation(D3DXMATRIX* out, const D3DXVECTOR3* scalingCenter,
                                     const D3DXQUATERNION* scalingRotation, const D3DXVECTOR3* scaling,
                                     const D3DXVECTOR3* rotationCenter, const D3DXQUATERNION* rotation,
                                     const D3DXVECTOR3* translation) {
    D3DXMATRIX r, step;
    D3DXMatrixIdentity(&r);
    if (scaling) {
        D3DXMATRIX toCenter, fromCenter, turn, unturn;
        D3DXMatrixIdentity(&toCenter);
        D3DXMatrixIdentity(&fromCenter);
        D3DXMatrixIdentity(&turn);
        D3DXMatrixIdentity(&unturn);
        if (scalingCenter) {
            D3DXMatrixTranslation(&toCenter, -scalingCenter->x, -scalingCenter->y, -scalingCenter->z);
            D3DXMatrixTranslation(&fromCenter, scalingCenter->x, scalingCenter->y, scalingCenter->z);
        }
        if (scalingRotation) {
            D3DXMatrixRotationQuaternion(&turn, scalingRotation);
            D3DXMatrixTranspose(&unturn, &turn);
        }
        D3DXMatrixScaling(&step, scaling->x, scaling->y, scaling->z);
        r = toCenter * unturn * step * turn * fromCenter;
    }
    if (rotation) {
        D3DXMatrixRotationQuaternion(&step, rotation);
        if (rotationCenter) {
            D3DXMATRIX toCenter, fromCenter;
            D3DXMatrixTranslation(&toCenter, -rotationCenter->x, -rotationCenter->y, -rotationCenter->z);
            D3DXMatrixTranslation(&fromCenter, rotationCenter->x, rotationCenter->y, rotationCenter->z);
            step = toCenter * step * fromCenter;
        }
        r *= step;
    }
    if (translation) {
        D3DXMatrixTranslation(&step, translation->x, translation->y, translation->z);
        r *= step;
    }
    *out = r;
    return out;
}

bool D3DXMatrixDecompose(D3DXVECTOR3* outScale, D3DXQUATERNION* outRotation, D3DXVECTOR3* outTranslation,
                         const D3DXMATRIX* m) {
    const D3DXVECTOR3 rows[3] = {D3DXVECTOR3(m->_11, m->_12, m->_13), D3DXVECTOR3(m->_21, m->_22, m->_23),
                                 D3DXVECTOR3(m->_31, m->_32, m->_33)};
    const D3DXVECTOR3 scale(D3DXVec3Length(&rows[0]), D3DXVec3Length(&rows[1]), D3DXVec3Length(&rows[2]));
    *outScale = scale;
    *outTranslation = D3DXVECTOR3(m->_41, m->_42, m->_43);
    if (scale.x == 0.0f || scale.y == 0.0f || scale.z == 0.0f) return false;
    const D3DXVECTOR3 a = rows[0] / scale.x, b = rows[1] / scale.y, c = rows[2] / scale.z;
    const D3DXMATRIX pure(a.x, a.y, a.z, 0, b.x, b.y, b.z, 0, c.x, c.y, c.z, 0, 0, 0, 0, 1);
    D3DXQuaternionRotationMatrix(outRotation, &pure);
    return true;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at, const D3DXVECTOR3* up) {
    D3DXVECTOR3 xAxis, yAxis, zAxis;
    const D3DXVECTOR3 forward = *at - *eye;
    D3DXVec3Normalize(&zAxis, &forward);
    D3DXVec3Cross(&xAxis, up, &zAxis);
    D3DXVec3Normalize(&xAxis, &xAxis);
    D3DXVec3Cross(&yAxis, &zAxis, &xAxis);
    *out = D3DXMATRIX(xAxis.x, yAxis.x, zAxis.x, 0, xAxis.y, yAxis.y, zAxis.y, 0, xAxis.z, yAxis.z, zAxis.z, 0,
                      -D3DXVec3Dot(&xAxis, eye), -D3DXVec3Dot(&yAxis, eye), -D3DXVec3Dot(&zAxis, eye), 1);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zn, float zf) {
    const float yScale = 1.0f / std::tan(fovY * 0.5f);
    const float xScale = yScale / aspect;
    const float q = zf / (zf - zn);
    *out = D3DXMATRIX(xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, q, 1, 0, 0, -zn * q, 0);
    return out;
}

D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, float width, float height, float zn, float zf) {
    *out = D3DXMATRIX(2 / width, 0, 0, 0, 0, 2 / height, 0, 0, 0, 0, 1 / (zf - zn), 0, 0, 0, zn / (zn - zf), 1);
    return out;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float left, float right, float bottom, float top, float zn,
                                       float zf) {
    *out = D3DXMATRIX(2 / (right - left), 0, 0, 0, 0, 2 / (top - bottom), 0, 0, 0, 0, 1 / (zf - zn), 0,
                      (left + right) / (left - right), (top + bottom) / (bottom - top), zn / (zn - zf), 1);
    return out;
}

static_assert(sizeof(D3DXMATRIX) == 64);
static_assert(std::is_standard_layout_v<D3DXMATRIX> && std::is_trivially_copyable_v<D3DXMATRIX>);
