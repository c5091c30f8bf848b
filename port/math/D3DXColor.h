// D3DX colour: four floats r, g, b, a (byte offsets 0, 4, 8, 12), nominally
// 0..1 but not clamped. Converts to and from packed 0xAARRGGBB. Default
// construction gives (0, 0, 0, 0).
#pragma once

#include <cstdint>

struct D3DXCOLOR {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    D3DXCOLOR() = default;
    D3DXCOLOR(float r_, float g_, float b_, float a_) : r(r_), g(g_), b(b_), a(a_) {}
    explicit D3DXCOLOR(const float* f) : r(f[0]), g(f[1]), b(f[2]), a(f[3]) {}
    // From 0xAARRGGBB: each byte / 255.
    explicit D3DXCOLOR(std::uint32_t argb);
    // To 0xAARRGGBB: each channel clamped to 0..1, scaled by 255 and rounded.
    explicit operator std::uint32_t() const;

    D3DXCOLOR& operator+=(const D3DXCOLOR& c) {
        r += c.r;
        g += c.g;
        b += c.b;
        a += c.a;
        return *this;
    }
    D3DXCOLOR& operator-=(const D3DXCOLOR& c) {
        r -= c.r;
        g -= c.g;
        b -= c.b;
        a -= c.a;
        return *this;
    }
    D3DXCOLOR& operator*=(float s) {
        r *= s;
        g *= s;
        b *= s;
        a *= s;
        return *this;
    }
    D3DXCOLOR& operator/=(float s) {
        r /= s;
        g /= s;
        b /= s;
        a /= s;
        return *this;
    }

    D3DXCOLOR operator+() const { return *this; }
    D3DXCOLOR operator-() const { return {-r, -g, -b, -a}; }
    D3DXCOLOR operator+(const D3DXCOLOR& c) const { return {r + c.r, g + c.g, b + c.b, a + c.a}; }
    D3DXCOLOR operator-(const D3DXCOLOR& c) const { return {r - c.r, g - c.g, b - c.b, a - c.a}; }
    D3DXCOLOR operator*(float s) const { return {r * s, g * s, b * s, a * s}; }
    D3DXCOLOR operator/(float s) const { return {r / s, g / s, b / s, a / s}; }
    friend D3DXCOLOR operator*(float s, const D3DXCOLOR& c) { return c * s; }

    bool operator==(const D3DXCOLOR& c) const { return r == c.r && g == c.g && b == c.b && a == c.a; }
    bool operator!=(const D3DXCOLOR& c) const { return !(*this == c); }
};

D3DXCOLOR* D3DXColorAdd(D3DXCOLOR* out, const D3DXCOLOR* c1, const D3DXCOLOR* c2);
D3DXCOLOR* D3DXColorSubtract(D3DXCOLOR* out, const D3DXCOLOR* c1, const D3DXCOLOR* c2);
D3DXCOLOR* D3DXColorScale(D3DXCOLOR* out, const D3DXCOLOR* c, float s);
// Channel by channel product.
D3DXCOLOR* D3DXColorModulate(D3DXCOLOR* out, const D3DXCOLOR* c1, const D3DXCOLOR* c2);
D3DXCOLOR* D3DXColorLerp(D3DXCOLOR* out, const D3DXCOLOR* c1, const D3DXCOLOR* c2, float t);
