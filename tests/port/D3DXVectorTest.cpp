#include <cmath>
#include <cstddef>
#include <cstring>

#include "tests/port/MathExpect.h"

TEST(D3DXVectorTest, LayoutMatchesReflectionOffsets) {
    EXPECT_EQ(offsetof(D3DXVECTOR3, x), 0u);
    EXPECT_EQ(offsetof(D3DXVECTOR3, z), 8u);
    EXPECT_EQ(offsetof(D3DXVECTOR4, w), 12u);
    EXPECT_EQ(offsetof(D3DXQUATERNION, w), 12u);
    EXPECT_EQ(offsetof(D3DXCOLOR, r), 0u);
    EXPECT_EQ(offsetof(D3DXCOLOR, a), 12u);
    EXPECT_EQ(sizeof(D3DXMATRIX), 64u);
    D3DXMATRIX m;
    m._32 = 7.0f;
    float raw[16];
    std::memcpy(raw, &m, sizeof raw);
    EXPECT_EQ(raw[2 * 4 + 1], 7.0f);
    EXPECT_EQ(m.m[2][1], 7.0f);
    EXPECT_EQ(m(2, 1), 7.0f);
}

TEST(D3DXVectorTest, DefaultConstructedValuesAreZero) {
    EXPECT_EQ(D3DXVECTOR2(), D3DXVECTOR2(0, 0));
    EXPECT_EQ(D3DXVECTOR3(), D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(D3DXVECTOR4(), D3DXVECTOR4(0, 0, 0, 0));
    EXPECT_EQ(D3DXQUATERNION(), D3DXQUATERNION(0, 0, 0, 0));
    EXPECT_EQ(D3DXCOLOR(), D3DXCOLOR(0, 0, 0, 0));
    EXPECT_EQ(D3DXMATRIX(), D3DXMATRIX(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
}

TEST(D3DXVectorTest, NormalizingZeroGivesZeroWithoutNaN) {
    D3DXVECTOR2 v2(5, 5);
    D3DXVECTOR2 zero2;
    EXPECT_EQ(*D3DXVec2Normalize(&v2, &zero2), D3DXVECTOR2());
    D3DXVECTOR3 v3(5, 5, 5);
    D3DXVECTOR3 zero3;
    EXPECT_EQ(*D3DXVec3Normalize(&v3, &zero3), D3DXVECTOR3());
    D3DXVECTOR4 v4(5, 5, 5, 5);
    D3DXVECTOR4 zero4;
    EXPECT_EQ(*D3DXVec4Normalize(&v4, &zero4), D3DXVECTOR4());
    D3DXQUATERNION q(5, 5, 5, 5);
    D3DXQUATERNION zeroQ;
    EXPECT_EQ(*D3DXQuaternionNormalize(&q, &zeroQ), D3DXQUATERNION());
}

TEST(D3DXVectorTest, NormalizeInPlaceGivesUnitLength) {
    D3DXVECTOR3 v(3, 0, 4);
    D3DXVec3Normalize(&v, &v);
    ExpectVec3Near(v, D3DXVECTOR3(0.6f, 0.0f, 0.8f));
    D3DXVECTOR2 w(0, -2);
    D3DXVec2Normalize(&w, &w);
    EXPECT_EQ(w, D3DXVECTOR2(0, -1));
}

TEST(D3DXVectorTest, CrossIsLeftHandedAxisOrderAndSafeInPlace) {
    D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0), r;
    ExpectVec3Near(*D3DXVec3Cross(&r, &x, &y), D3DXVECTOR3(0, 0, 1));
    D3DXVECTOR3 a(1, 2, 3), b(4, 5, 6);
    D3DXVec3Cross(&a, &a, &b);
    ExpectVec3Near(a, D3DXVECTOR3(2 * 6 - 3 * 5, 3 * 4 - 1 * 6, 1 * 5 - 2 * 4));
    EXPECT_FLOAT_EQ(D3DXVec3Dot(&b, &b), 77.0f);
    EXPECT_FLOAT_EQ(D3DXVec3Length(&b), std::sqrt(77.0f));
}

TEST(D3DXVectorTest, RowVectorTimesMatrixPutsTranslationInRowFour) {
    D3DXMATRIX t;
    D3DXMatrixTranslation(&t, 1, 2, 3);
    EXPECT_EQ(t._41, 1.0f);
    EXPECT_EQ(t._42, 2.0f);
    EXPECT_EQ(t._43, 3.0f);
    const D3DXVECTOR3 v(1, 1, 1);
    ExpectVec3Near(TransformCoord(v, t), D3DXVECTOR3(2, 3, 4));
    D3DXVECTOR3 n;
    ExpectVec3Near(*D3DXVec3TransformNormal(&n, &v, &t), D3DXVECTOR3(1, 1, 1));
    D3DXVECTOR4 h;
    D3DXVec3Transform(&h, &v, &t);
    EXPECT_EQ(h, D3DXVECTOR4(2, 3, 4, 1));
}

TEST(D3DXVectorTest, TransformCoordDividesByW) {
    D3DXMATRIX m;
    D3DXMatrixScaling(&m, 1, 1, 1);
    m._44 = 2.0f;
    m._14 = 1.0f;  // w = x + 2
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(2, 4, 6), m), D3DXVECTOR3(0.5f, 1.0f, 1.5f));
    // w = 0 leaves the point undivided rather than producing infinities.
    ExpectVec3Near(TransformCoord(D3DXVECTOR3(-2, 4, 6), m), D3DXVECTOR3(-2, 4, 6));
}

TEST(D3DXVectorTest, LerpAndCatmullRomHitTheirEndpoints) {
    const D3DXVECTOR3 a(0, 0, 0), b(2, 4, -6);
    D3DXVECTOR3 r;
    ExpectVec3Near(*D3DXVec3Lerp(&r, &a, &b, 0.25f), D3DXVECTOR3(0.5f, 1.0f, -1.5f));
    const D3DXVECTOR3 p0(0, 0, 0), p1(1, 1, 0), p2(2, 0, 5), p3(3, 7, 1);
    ExpectVec3Near(*D3DXVec3CatmullRom(&r, &p0, &p1, &p2, &p3, 0.0f), p1);
    ExpectVec3Near(*D3DXVec3CatmullRom(&r, &p0, &p1, &p2, &p3, 1.0f), p2);
    // Evenly spaced points on a line: the curve is the line itself.
    const D3DXVECTOR3 q0(0, 0, 0), q1(1, 0, 0), q2(2, 0, 0), q3(3, 0, 0);
    ExpectVec3Near(*D3DXVec3CatmullRom(&r, &q0, &q1, &q2, &q3, 0.5f), D3DXVECTOR3(1.5f, 0, 0));
    // Midpoint of the first curve by hand: 0.5 (2 p1 + (p2 - p0)/2 + (2p0 - 5p1 + 4p2 - p3)/4
    // + (-p0 + 3p1 - 3p2 + p3)/8).
    ExpectVec3Near(*D3DXVec3CatmullRom(&r, &p0, &p1, &p2, &p3, 0.5f), D3DXVECTOR3(1.5f, 0.125f, 2.75f));
}

TEST(D3DXVectorTest, ColourPacksAsArgbWithClamping) {
    const D3DXCOLOR c(0xFF804020u);
    EXPECT_FLOAT_EQ(c.a, 1.0f);
    EXPECT_FLOAT_EQ(c.r, 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(c.g, 64.0f / 255.0f);
    EXPECT_FLOAT_EQ(c.b, 32.0f / 255.0f);
    EXPECT_EQ(static_cast<std::uint32_t>(c), 0xFF804020u);
    EXPECT_EQ(static_cast<std::uint32_t>(D3DXCOLOR(1.0f, 0.5f, -3.0f, 2.0f)), 0xFFFF8000u);
    EXPECT_EQ(static_cast<std::uint32_t>(D3DXCOLOR(NAN, 0, 0, 0)), 0u);
    D3DXCOLOR lerp;
    const D3DXCOLOR black(0, 0, 0, 1), white(1, 1, 1, 1);
    EXPECT_EQ(*D3DXColorLerp(&lerp, &black, &white, 0.5f), D3DXCOLOR(0.5f, 0.5f, 0.5f, 1.0f));
}
