// The component that makes a game object an editor proxy: the pickable (and,
// for objects without a mesh, visible) stand-in of one scene object. Proxies
// are made and removed by the EditorProxySystem and never saved (they are not
// in the scene's object list). A proxy naming no object (0, as the prototype
// and a hand-added component do) or a dead one is neither drawn, picked nor
// cycled. Owned by its proxy object; main thread only.
#pragma once
#include "core/Types.h"
#include "engine/Component.h"
#include "port/math/D3DX.h"

class EditorProxyObject : public Component<EditorProxyObject> {
public:
    EditorProxyObject() = default;

    u32 proxiedObjectId = 0;                         // the scene object this proxy stands for
    D3DXCOLOR markerColour{0.0f, 0.0f, 0.0f, 0.0f};  // the marker's colour; alpha 0 without a marker
};
