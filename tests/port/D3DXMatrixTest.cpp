#include <cmath>

#include "tests/port/MathExpect.h"

TEST(D3DXMatrixTest, LookAtAlongNegativeXMatchesHandWrittenMatrix) {
    const D3DXVECTOR3 eye(3, 0, 0), at(0, 0, 0), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    // Camera x = up x forward = (0, 0, 1), y = (0, 1, 0), z = (-1, 0, 0) as columns.
    ExpectMatrixNear(view, D3DXMATRIX(0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 3, 1));
    ExpectVec3Near(TransformCoord(eye, view), D3DXVECTOR3(0, 0, 0));
    ExpectVec3Near(TransformCoord(at, view), D3DXVECTOR3(0, 0, 3));
}

TEST(D3DXMatrixTest, LookAtOrthogonalisesATiltedUp) {
    const D3DXVECTOR3 eye(0, 0, 0), at(0, 1, 1), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    ExpectMatrixNear(view,
                     D3DXMATRIX(1, 0, 0, 0, 0, kHalfSqrt2, kHalfSqrt2, 0, 0, -kHalfSqrt2, kHalfSqrt2, 0, 0, 0, 0, 1));
}

TEST(D3DXMatrixTest, PerspectiveFovFor1024x768MapsNearAndFarToZeroAndOne) {
    D3DXMATRIX p;
    D3DXMatrixPerspectiveFovLH(&p, D3DX_PI / 4, 1024.0f / 768.0f, 1.0f, 2000.0f);
    const float yScale = 2.41421356f;  // cot(pi / 8)
    ExpectMatrixNear(p, D3DXMATRIX(yScale * 0.75f, 0, 0, 0, 0, yScale, 0, 0, 0, 0, 2000.0f / 1999.0f, 1, 0, 0,
                                   -2000.0f / 1999.0f, 0));
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(0, 0, 1), p), D3DXVECTOR3(0, 0, 0));
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(0, 0, 2000), p), D3DXVECTOR3(0, 0, 1));
    // A point on the top edge of the field of view lands on y = 1.
    EXPECT_NEAR(TransformCoord(D3DXVECTOR3(0, std::tan(D3DX_PI / 8) * 10, 10), p).y, 1.0f, kMathTolerance);
}

TEST(D3DXMatrixTest, OrthoMapsBoxToClipSpace) {
    D3DXMATRIX o;
    D3DXMatrixOrthoLH(&o, 1024, 768, 1, 2000);
    ExpectMatrixNear(
        o, D3DXMATRIX(2.0f / 1024, 0, 0, 0, 0, 2.0f / 768, 0, 0, 0, 0, 1.0f / 1999, 0, 0, 0, -1.0f / 1999, 1));
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(512, -384, 2000), o), D3DXVECTOR3(1, -1, 1));
    D3DXMATRIX oc;
    D3DXMatrixOrthoOffCenterLH(&oc, 0, 1024, 768, 0, 0, 1);
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(0, 0, 0), oc), D3DXVECTOR3(-1, 1, 0));
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(1024, 768, 1), oc), D3DXVECTOR3(1, -1, 1));
}

TEST(D3DXMatrixTest, MultiplyAppliesLeftOperandFirst) {
    D3DXMATRIX s, t, st, ts;
    D3DXMatrixScaling(&s, 2, 2, 2);
    D3DXMatrixTranslation(&t, 1, 0, 0);
    D3DXMatrixMultiply(&st, &s, &t);
    ts = t * s;
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(1, 0, 0), st), D3DXVECTOR3(3, 0, 0));
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(1, 0, 0), ts), D3DXVECTOR3(4, 0, 0));
    // In place on either operand.
    D3DXMatrixMultiply(&s, &s, &t);
    EXPECT_EQ(s, st);
    D3DXMatrixScaling(&s, 2, 2, 2);
    D3DXMatrixMultiply(&t, &s, &t);
    EXPECT_EQ(t, st);
}

TEST(D3DXMatrixTest, AxisRotationsTurnClockwiseLookingDownTheAxis) {
    D3DXMATRIX r;
    D3DXMatrixRotationX(&r, D3DX_PI / 2);
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(0, 1, 0), r), D3DXVECTOR3(0, 0, 1));
    D3DXMatrixRotationY(&r, D3DX_PI / 2);
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(1, 0, 0), r), D3DXVECTOR3(0, 0, -1));
    D3DXMatrixRotationZ(&r, D3DX_PI / 2);
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(1, 0, 0), r), D3DXVECTOR3(0, 1, 0));
    // An unnormalised axis gives the same rotation as the unit axis.
    const D3DXVECTOR3 axis(0, 0, 7);
    D3DXMATRIX a;
    D3DXMatrixRotationAxis(&a, &axis, D3DX_PI / 2);
    ExpectMatrixNear(a, r);
    const D3DXVECTOR3 diagonal(1, 1, 1);
    D3DXMatrixRotationAxis(&a, &diagonal, 2 * D3DX_PI / 3);  // cycles the axes
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(1, 0, 0), a), D3DXVECTOR3(0, 1, 0));
    const D3DXVECTOR3 zero;
    D3DXMatrixRotationAxis(&a, &zero, 1.0f);
    ExpectMatrixNear(a, Identity());
}

TEST(D3DXMatrixTest, YawPitchRollAppliesRollThenPitchThenYaw) {
    D3DXMATRIX m;
    D3DXMatrixRotationYawPitchRoll(&m, D3DX_PI / 2, D3DX_PI / 2, D3DX_PI / 2);
    // x: roll -> (0,1,0), pitch -> (0,0,1), yaw -> (1,0,0); y: -> (-1,0,0) -> same -> (0,0,1);
    // z: roll keeps it, pitch -> (0,-1,0), yaw keeps it.
    ExpectMatrixNear(m, D3DXMATRIX(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1));
}

TEST(D3DXMatrixTest, InverseTimesMatrixIsIdentity) {
    const D3DXMATRIX m(2, 0, 1, 0, 1, 3, 0, 0, 0, 1, 4, 0, 1, 2, 3, 1);
    D3DXMATRIX inv;
    float det = 0;
    ASSERT_NE(D3DXMatrixInverse(&inv, &det, &m), nullptr);
    EXPECT_NEAR(det, 2 * 12 - 0 + 1 * 1, 1e-4f);  // expansion along the first row
    ExpectMatrixNear(inv * m, Identity());
    ExpectMatrixNear(m * inv, Identity());

    D3DXMATRIX t, expected;
    D3DXMatrixTranslation(&t, 1, 2, 3);
    D3DXMatrixTranslation(&expected, -1, -2, -3);
    ExpectMatrixNear(*D3DXMatrixInverse(&t, nullptr, &t), expected);
    D3DXMATRIX s;
    D3DXMatrixScaling(&s, 2, 4, 8);
    EXPECT_NEAR(D3DXMatrixDeterminant(&s), 64.0f, 1e-5f);
    D3DXMatrixScaling(&expected, 0.5f, 0.25f, 0.125f);
    ExpectMatrixNear(*D3DXMatrixInverse(&s, nullptr, &s), expected);
}

TEST(D3DXMatrixTest, InverseOfSingularMatrixFailsAndLeavesOutput) {
    D3DXMATRIX singular;
    D3DXMatrixScaling(&singular, 1, 0, 1);
    D3DXMATRIX out(Identity());
    float det = 5;
    EXPECT_EQ(D3DXMatrixInverse(&out, &det, &singular), nullptr);
    EXPECT_EQ(det, 0.0f);
    EXPECT_EQ(out, Identity());
}

TEST(D3DXMatrixTest, TransposeSwapsRowsAndColumns) {
    D3DXMATRIX m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16), t;
    D3DXMatrixTranspose(&t, &m);
    EXPECT_EQ(t, D3DXMATRIX(1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16));
    D3DXMatrixTranspose(&m, &m);
    EXPECT_EQ(m, t);
}

TEST(D3DXMatrixTest, DecomposeSplitsScaleRotationTranslation) {
    D3DXMATRIX s, r, t;
    D3DXMatrixScaling(&s, 1, 2, 3);
    D3DXMatrixRotationZ(&r, D3DX_PI / 2);
    D3DXMatrixTranslation(&t, 4, 5, 6);
    const D3DXMATRIX m = s * r * t;
    D3DXVECTOR3 scale, translation;
    D3DXQUATERNION rotation;
    ASSERT_TRUE(D3DXMatrixDecompose(&scale, &rotation, &translation, &m));
    ExpectVec3Near(scale, D3DXVECTOR3(1, 2, 3));
    ExpectQuatNear(rotation, D3DXQUATERNION(0, 0, kHalfSqrt2, kHalfSqrt2));
    ExpectVec3Near(translation, D3DXVECTOR3(4, 5, 6));

    D3DXMATRIX flat;
    D3DXMatrixScaling(&flat, 1, 0, 1);
    EXPECT_FALSE(D3DXMatrixDecompose(&scale, &rotation, &translation, &flat));
}

TEST(D3DXMatrixTest, TransformationScalesAndRotatesAboutTheirCentres) {
    const D3DXVECTOR3 scaling(2, 2, 2), translation(5, 0, 0);
    D3DXMATRIX m;
    D3DXMatrixTransformation(&m, nullptr, nullptr, &scaling, nullptr, nullptr, &translation);
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(1, 0, 0), m), D3DXVECTOR3(7, 0, 0));

    const D3DXVECTOR3 centre(1, 0, 0), axis(0, 0, 1);
    D3DXQUATERNION quarter;
    D3DXQuaternionRotationAxis(&quarter, &axis, D3DX_PI / 2);
    D3DXMatrixTransformation(&m, nullptr, nullptr, nullptr, &centre, &quarter, nullptr);
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(2, 0, 0), m), D3DXVECTOR3(1, 1, 0));

    D3DXMatrixTransformation(&m, &centre, nullptr, &scaling, nullptr, nullptr, nullptr);
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(2, 0, 0), m), D3DXVECTOR3(3, 0, 0));

    // Scaling (1, 2, 1) in a frame turned a quarter about z stretches world x instead of y.
    const D3DXVECTOR3 stretchY(1, 2, 1);
    D3DXMatrixTransformation(&m, nullptr, &quarter, &stretchY, nullptr, nullptr, nullptr);
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(1, 1, 0), m), D3DXVECTOR3(2, 1, 0));

    D3DXMatrixTransformation(&m, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ExpectMatrixNear(m, Identity());
}
