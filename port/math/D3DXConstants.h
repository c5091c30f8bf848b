// Angle constants and conversions shared by the D3DX value types and their
// callers. Header only; everything is constexpr.
#pragma once

constexpr float D3DX_PI = 3.141592654f;
constexpr float D3DX_1BYPI = 0.318309886f;

constexpr float D3DXToRadian(float degrees) {
    return degrees * (D3DX_PI / 180.0f);
}
constexpr float D3DXToDegree(float radians) {
    return radians * (180.0f / D3DX_PI);
}
