// PointLight: a coloured light of limited range at its object's position,
// drawn by the renderer's lighting pass as an instance of the light-volume
// sphere (radius |mRange|; culled with mRange as it stands). Data only.
// Owned by its object. Main thread only.
#pragma once
#include "engine/Component.h"
#include "port/math/D3DX.h"

class PointLight : public Component<PointLight> {
public:
    static void Reflect(MemberList<PointLight>& members);

    D3DXCOLOR mDiffuse{1, 1, 1, 1};  // reflected "mDiffuse"; red, green, blue light the scene, alpha unused
    float mRange = 10.0f;            // reflected "mRange"; world units
};
