// GlobalLighting: the scene's one directional light and its ambient term, read
// by the renderer's combine pass (the last one announced is used). Data only;
// a change made in the editor shows in the next frame. Owned by its object.
// Main thread only.
#pragma once
#include "engine/Component.h"
#include "port/math/D3DX.h"

class GlobalLighting : public Component<GlobalLighting> {
public:
    static void Reflect(MemberList<GlobalLighting>& members);

    D3DXVECTOR3 directionalLightingDirection{1, 1, 1};  // reflected "DirectionalLightingDirection"
    D3DXVECTOR3 directionalLightColor{1, 1, 1};         // reflected "DirectionalLightColor" (r, g, b)
    float directionalLightIntensity = 0.5f;             // reflected "DirectionalLightIntensity"
    float ambientIntensity = 0.2f;                      // reflected "AmbientIntensity"
};
