// D3DX 4x4 matrix: 16 floats, row-major, named _11.._44 or m[row][col].
// Row vectors are multiplied on the left (v * M), so translation sits in row
// 4 and A * B applies A first. Left-handed; projections map depth to 0..1.
// Default construction gives the zero matrix (not identity).
#pragma once

#include "port/math/D3DXVector.h"

struct D3DXQUATERNION;

struct D3DXMATRIX {
    union {
        struct {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };

    D3DXMATRIX() : m{} {}
    D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23, float f24, float f31,
               float f32, float f33, float f34, float f41, float f42, float f43, float f44);
    explicit D3DXMATRIX(const float* f);

    float& operator()(unsigned row, unsigned col) { return m[row][col]; }
    float operator()(unsigned row, unsigned col) const { return m[row][col]; }

    D3DXMATRIX& operator*=(const D3DXMATRIX& b);
    D3DXMATRIX& operator+=(const D3DXMATRIX& b);
    D3DXMATRIX& operator-=(const D3DXMATRIX& b);
    D3DXMATRIX& operator*=(float s);
    D3DXMATRIX& operator/=(float s);

    D3DXMATRIX operator+() const { return *this; }
    D3DXMATRIX operator-() const;
    // this * b: this transform first, then b.
    D3DXMATRIX operator*(const D3DXMATRIX& b) const;
    D3DXMATRIX operator+(const D3DXMATRIX& b) const;
    D3DXMATRIX operator-(const D3DXMATRIX& b) const;
    D3DXMATRIX operator*(float s) const;
    D3DXMATRIX operator/(float s) const;
    friend D3DXMATRIX operator*(float s, const D3DXMATRIX& a) { return a * s; }

    bool operator==(const D3DXMATRIX& b) const;
    bool operator!=(const D3DXMATRIX& b) const { return !(*this == b); }
};

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
bool D3DXMatrixIsIdentity(const D3DXMATRIX* m);
// out = a * b (a applied first). out may alias a or b.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m);
float D3DXMatrixDeterminant(const D3DXMATRIX* m);
// Writes the determinant when asked. A singular matrix returns nullptr and
// leaves out untouched.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m);

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz);
// Angles in radians; positive angles turn clockwise looking along the axis
// towards the origin (left-handed).
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle);
// The axis need not be unit length; a zero axis gives identity.
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle);
D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q);
// Roll about z first, then pitch about x, then yaw about y: Rz * Rx * Ry.
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll);
// Scale about scalingCenter in the frame turned by scalingRotation, then rotate
// about rotationCenter, then translate. Any pointer may be null (no such step).
D3DXMATRIX* D3DXMatrixTransformation(D3DXMATRIX* out, const D3DXVECTOR3* scalingCenter,
                                     const D3DXQUATERNION* scalingRotation, const D3DXVECTOR3* scaling,
                                     const D3DXVECTOR3* rotationCenter, const D3DXQUATERNION* rotation,
                                     const D3DXVECTOR3* translation);
// Splits scale * rotation * translation. Fails (false, outputs other than
// scale and translation untouched) when a scale is zero.
bool D3DXMatrixDecompose(D3DXVECTOR3* outScale, D3DXQUATERNION* outRotation, D3DXVECTOR3* outTranslation,
                         const D3DXMATRIX* m);

// View matrix of a camera at eye looking at at: rows hold the camera's
// x, y, z axes as columns, row 4 the negated eye projected on them.
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at, const D3DXVECTOR3* up);
// fovY in radians; aspect = width / height; depth zn..zf maps to 0..1.
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zn, float zf);
D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, float width, float height, float zn, float zf);
D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float left, float right, float bottom, float top, float zn,
                                       float zf);
