// Tolerant comparisons of the D3DX value types for the math tests.
#pragma once

#include <gtest/gtest.h>

#include "port/math/D3DX.h"

constexpr float kMathTolerance = 1e-5f;
constexpr float kHalfSqrt2 = 0.70710678f;

inline void ExpectVec3Near(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, float tol = kMathTolerance) {
    EXPECT_NEAR(actual.x, expected.x, tol);
    EXPECT_NEAR(actual.y, expected.y, tol);
    EXPECT_NEAR(actual.z, expected.z, tol);
}

inline void ExpectQuatNear(const D3DXQUATERNION& actual, const D3DXQUATERNION& expected, float tol = kMathTolerance) {
    EXPECT_NEAR(actual.x, expected.x, tol);
    EXPECT_NEAR(actual.y, expected.y, tol);
    EXPECT_NEAR(actual.z, expected.z, tol);
    EXPECT_NEAR(actual.w, expected.w, tol);
}

inline void ExpectMatrixNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float tol = kMathTolerance) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(actual.m[r][c], expected.m[r][c], tol) << "row " << r << " col " << c;
}

inline D3DXMATRIX Identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

inline D3DXVECTOR3 TransformCoord(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    D3DXVECTOR3 r;
    D3DXVec3TransformCoord(&r, &v, &m);
    return r;
}

inline D3DXMATRIX MatrixOf(const D3DXQUATERNION& q) {
    D3DXMATRIX m;
    D3DXMatrixRotationQuaternion(&m, &q);
    return m;
}
