#include "port/math/D3DXColor.h"

#include <type_traits>

namespace {
std::uint32_t ToByte(float channel) {
    if (!(channel > 0.0f)) return 0;  // also NaN
    if (channel >= 1.0f) return 0xFF;
    return static_cast<std::uint32_t>(channel * 255.0f + 0.5f);
}

float FromByte(std::uint32_t argb, int shift) {
    return static_cast<float>((argb >> shift) & 0xFF) / 255.0f;
}
}  // namespace

D3DXCOLOR::D3DXCOLOR(std::uint32_t argb)
    : r(FromByte(argb, 16)), g(FromByte(argb, 8)), b(FromByte(argb, 0)), a(FromByte(argb, 24)) {}

D3DXCOLOR::operator std::uint32_t() const {
    return (ToByte(a) << 24) | (ToByte(r) << 16) | (ToByte(g) << 8) | ToByte(b);
}

D3DXCOLOR* D3DXColorAdd(D3DXCOLOR* out, const D3DXCOLOR* c1, const D3DXCOLOR* c2) {
    *out = *c1 + *c2;
    return out;
}

D3DXCOLOR* D3DXColorSubtract(D3DXCOLOR* out, const D3DXCOLOR* c1, const D3DXCOLOR* c2) {
    *out = *c1 - *c2;
    return out;
}

D3DXCOLOR* D3DXColorScale(D3DXCOLOR* out, const D3DXCOLOR* c, float s) {
    *out = *c * s;
    return out;
}

D3DXCOLOR* D3DXColorModulate(D3DXCOLOR* out, const D3DXCOLOR* c1, const D3DXCOLOR* c2) {
    *out = D3DXCOLOR(c1->r * c2->r, c1->g * c2->g, c1->b * c2->b, c1->a * c2->a);
    return out;
}

D3DXCOLOR* D3DXColorLerp(D3DXCOLOR* out, const D3DXCOLOR* c1, const D3DXCOLOR* c2, float t) {
    *out = *c1 + (*c2 - *c1) * t;
    return out;
}

static_assert(sizeof(D3DXCOLOR) == 16);
static_assert(std::is_standard_layout_v<D3DXCOLOR> && std::is_trivially_copyable_v<D3DXCOLOR>);
