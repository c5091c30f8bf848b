// Reflection of the D3DX value types and of the two plain structures whose
// members start-up builds itself (Waypoint, Gradient). Member records are
// made once per run; the registry entries are made on every call, so a fresh
// registry (a test) can be filled again. Main thread only.
#pragma once

class MetaRegistry;

class ValueTypes {
public:
    // D3DXVECTOR3, D3DXQUATERNION, D3DXCOLOR, D3DXVECTOR4, D3DXVECTOR2 in this
    // order (their type ids follow it), then their panel types: a direction,
    // a rotation, a colour; none for the four- and two-float vectors, whose
    // members are shown one by one.
    static void Register(MetaRegistry& registry);
};
