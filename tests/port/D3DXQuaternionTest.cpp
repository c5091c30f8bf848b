#include <cmath>

#include "tests/port/MathExpect.h"

namespace {
D3DXQUATERNION AxisAngle(float x, float y, float z, float angle) {
    const D3DXVECTOR3 axis(x, y, z);
    D3DXQUATERNION q;
    D3DXQuaternionRotationAxis(&q, &axis, angle);
    return q;
}

// q and -q are the same rotation.
void ExpectSameRotation(const D3DXQUATERNION& a, const D3DXQUATERNION& b) {
    EXPECT_NEAR(std::fabs(D3DXQuaternionDot(&a, &b)), 1.0f, 1e-5f);
}
}  // namespace

TEST(D3DXQuaternionTest, RotationAxisNormalisesTheAxis) {
    ExpectQuatNear(AxisAngle(0, 0, 5, D3DX_PI / 2), D3DXQUATERNION(0, 0, kHalfSqrt2, kHalfSqrt2));
    ExpectQuatNear(AxisAngle(0, -0.1f, 0, D3DX_PI), D3DXQUATERNION(0, -1, 0, 0));
    ExpectQuatNear(AxisAngle(0, 0, 0, 1.0f), D3DXQUATERNION(0, 0, 0, 1));
}

TEST(D3DXQuaternionTest, MultiplyIsFirstArgumentThenSecond) {
    const D3DXQUATERNION qx = AxisAngle(1, 0, 0, D3DX_PI / 2), qy = AxisAngle(0, 1, 0, D3DX_PI / 2);
    D3DXQUATERNION xThenY;
    D3DXQuaternionMultiply(&xThenY, &qx, &qy);
    // (0, 1, 0): about x to (0, 0, 1), then about y to (1, 0, 0).
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(0, 1, 0), MatrixOf(xThenY)), D3DXVECTOR3(1, 0, 0));
    D3DXMATRIX rx, ry;
    D3DXMatrixRotationX(&rx, D3DX_PI / 2);
    D3DXMatrixRotationY(&ry, D3DX_PI / 2);
    ExpectMatrixNear(MatrixOf(xThenY), rx * ry);
    ExpectQuatNear(qx * qy, xThenY);

    D3DXQUATERNION yThenX = qy;
    yThenX *= qx;
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(0, 1, 0), MatrixOf(yThenX)), D3DXVECTOR3(0, 0, 1));
}

TEST(D3DXQuaternionTest, MultiplyByConjugateSandwichRotatesByTheInverse) {
    // conj(q) v q as Multiply(Multiply(q, v), conj(q)): (0, 1, 0) turned back a quarter about x.
    const D3DXQUATERNION q = AxisAngle(1, 0, 0, D3DX_PI / 2), v(0, 1, 0, 0);
    D3DXQUATERNION conj, r;
    D3DXQuaternionConjugate(&conj, &q);
    D3DXQuaternionMultiply(&r, &q, &v);
    D3DXQuaternionMultiply(&r, &r, &conj);
    ExpectQuatNear(r, D3DXQUATERNION(0, 0, -1, 0));
}

TEST(D3DXQuaternionTest, InverseUndoesTheRotation) {
    const D3DXQUATERNION q = AxisAngle(1, 2, 3, 0.7f) * 2.0f;  // not unit length
    D3DXQUATERNION inv, product;
    D3DXQuaternionInverse(&inv, &q);
    D3DXQuaternionMultiply(&product, &q, &inv);
    ExpectQuatNear(product, D3DXQUATERNION(0, 0, 0, 1));
    const D3DXQUATERNION zero;
    EXPECT_EQ(*D3DXQuaternionInverse(&inv, &zero), D3DXQUATERNION());
}

TEST(D3DXQuaternionTest, MatrixFromQuaternionMatchesAxisMatrices) {
    D3DXMATRIX r;
    D3DXMatrixRotationX(&r, 0.3f);
    ExpectMatrixNear(MatrixOf(AxisAngle(1, 0, 0, 0.3f)), r);
    D3DXMatrixRotationY(&r, -1.1f);
    ExpectMatrixNear(MatrixOf(AxisAngle(0, 1, 0, -1.1f)), r);
    const D3DXVECTOR3 axis(1, -2, 0.5f);
    D3DXMatrixRotationAxis(&r, &axis, 2.5f);
    ExpectMatrixNear(MatrixOf(AxisAngle(1, -2, 0.5f, 2.5f)), r);
}

TEST(D3DXQuaternionTest, RotationMatrixRoundTripsIncludingHalfTurns) {
    D3DXMATRIX ry;
    D3DXMatrixRotationY(&ry, D3DX_PI / 2);
    D3DXQUATERNION q;
    ExpectQuatNear(*D3DXQuaternionRotationMatrix(&q, &ry), D3DXQUATERNION(0, kHalfSqrt2, 0, kHalfSqrt2));

    const D3DXQUATERNION cases[] = {{0, 0, 0, 1},
                                    {1, 0, 0, 0},
                                    {0, 1, 0, 0},
                                    {0, 0, 1, 0},  // identity and half turns: w = 0
                                    {0.5f, 0.5f, 0.5f, 0.5f},
                                    {0.26726124f, 0.53452248f, 0.80178373f, 0},
                                    {-0.6f, 0, 0.8f, 0.0001f},
                                    AxisAngle(3, -1, 2, 3.1f),
                                    AxisAngle(0, 1, 1, -2.9f),
                                    AxisAngle(1, 0, 0, 0.01f)};
    for (const D3DXQUATERNION& c : cases) {
        D3DXQUATERNION back;
        const D3DXMATRIX m = MatrixOf(c);
        D3DXQuaternionRotationMatrix(&back, &m);
        SCOPED_TRACE(testing::Message() << c.x << " " << c.y << " " << c.z << " " << c.w);
        ExpectSameRotation(back, c);
        EXPECT_NEAR(D3DXQuaternionLength(&back), 1.0f, 1e-5f);
    }
}

TEST(D3DXQuaternionTest, RotationMatrixUsesOnlyTheUpperThreeByThree) {
    D3DXMATRIX m;
    D3DXMatrixRotationZ(&m, 1.0f);
    m._41 = 10;
    m._42 = -4;
    D3DXQUATERNION q;
    D3DXQuaternionRotationMatrix(&q, &m);
    ExpectQuatNear(q, AxisAngle(0, 0, 1, 1.0f));
    const D3DXMATRIX zero;
    D3DXQuaternionRotationMatrix(&q, &zero);
    EXPECT_FALSE(std::isnan(q.x) || std::isnan(q.y) || std::isnan(q.z) || std::isnan(q.w));
}

TEST(D3DXQuaternionTest, YawPitchRollMatchesTheMatrixForm) {
    D3DXQUATERNION q;
    D3DXQuaternionRotationYawPitchRoll(&q, D3DX_PI / 2, D3DX_PI / 2, D3DX_PI / 2);
    ExpectMatrixNear(MatrixOf(q), D3DXMATRIX(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1));
    // Roll, then pitch, then yaw, composed with Multiply.
    const D3DXQUATERNION yaw = AxisAngle(0, 1, 0, 0.4f), pitch = AxisAngle(1, 0, 0, -0.9f),
                         roll = AxisAngle(0, 0, 1, 1.3f);
    D3DXQuaternionRotationYawPitchRoll(&q, 0.4f, -0.9f, 1.3f);
    ExpectQuatNear(q, roll * pitch * yaw);
    D3DXMATRIX m;
    D3DXMatrixRotationYawPitchRoll(&m, 0.4f, -0.9f, 1.3f);
    ExpectMatrixNear(MatrixOf(q), m);
}

TEST(D3DXQuaternionTest, SlerpHitsEndpointsAndHalvesTheAngle) {
    const D3DXQUATERNION identity(0, 0, 0, 1), quarter = AxisAngle(0, 0, 1, D3DX_PI / 2);
    D3DXQUATERNION r;
    ExpectQuatNear(*D3DXQuaternionSlerp(&r, &identity, &quarter, 0.0f), identity);
    ExpectQuatNear(*D3DXQuaternionSlerp(&r, &identity, &quarter, 1.0f), quarter);
    const D3DXQUATERNION eighth(0, 0, 0.38268343f, 0.92387953f);
    ExpectQuatNear(*D3DXQuaternionSlerp(&r, &identity, &quarter, 0.5f), eighth);
    // The same rotation written as -q takes the short way too.
    const D3DXQUATERNION negated = -quarter;
    ExpectQuatNear(*D3DXQuaternionSlerp(&r, &identity, &negated, 0.5f), eighth);
    // Nearly equal inputs stay finite and unit length.
    const D3DXQUATERNION tiny = AxisAngle(0, 1, 0, 1e-4f);
    D3DXQuaternionSlerp(&r, &identity, &tiny, 0.5f);
    EXPECT_NEAR(D3DXQuaternionLength(&r), 1.0f, 1e-5f);
}

TEST(D3DXQuaternionTest, ToAxisAngleRecoversTheAngle) {
    const D3DXQUATERNION q = AxisAngle(0, 2, 0, 1.2f);
    D3DXVECTOR3 axis;
    float angle = 0;
    D3DXQuaternionToAxisAngle(&q, &axis, &angle);
    EXPECT_NEAR(angle, 1.2f, 1e-5f);
    ExpectVec3Near(axis, D3DXVECTOR3(0, std::sin(0.6f), 0));
}
