// The editor's mouse picking: whenever the mouse ray changes it finds the
// proxy under the mouse (or, in HUD select mode, the HUD element under the
// pointer) and tells the controls the picked proxy (kMsgPickedProxy) and the
// object it stands for (kMsgPickedObject). A child system of the Editor,
// made in its Init and deleted with it. The filter judges the scene object a
// proxy stands for (its id, archetype and components). Keeps component ids, dropping those
// whose component is gone as it walks them. Main thread only.
#pragma once
#include <vector>

#include "core/Types.h"
#include "editor/systems/SelectionFilter.h"
#include "engine/ISystem.h"
#include "engine/Ray.h"

class ObjectSelectionSystem : public ISystem {
public:
    // Objects nearer the eye than this are never picked (world units).
    static constexpr float kMinPickDistance = 1.5f;

    ObjectSelectionSystem();

    // The mouse ray, proxy and HUD announcements, HUD select mode and the filter.
    void HandleMessage(Message* message) override;
    // Picks and announces when the ray moved since the last frame.
    void Update(float dt) override;
    // Subscribes and leaves HUD select mode.
    void Activate() override;
    // Drops the ids of components that are gone (a cleared scene's proxies).
    void Clear() override;

    // The object under the ray (best proxy), 0 when none; *proxyId gets the proxy object.
    u32 PickProxy(const Ray& ray, u32* proxyId);
    // The HUD element's object under the client pixel (x, y) of a w x h window; 0 when none.
    u32 PickHud(float x, float y, float width, float height);

    u32 GetPickedObject() const { return pickedObject_; }
    bool IsHudSelectMode() const { return hudSelectMode_; }
    const SelectionFilter& GetFilter() const { return filter_; }
    size_t ProxyCount() const { return proxyComponents_.size(); }

private:
    std::vector<u32> proxyComponents_;  // EditorProxyObject component ids, in announcement order
    std::vector<u32> hudComponents_;    // HUD component ids, in announcement order
    u32 pickedObject_ = 0;
    Ray previousRay_{};
    Ray currentRay_{};  // as received
    bool hudSelectMode_ = false;
    SelectionFilter filter_;
    u32 hudTypeId_ = 0;  // the HUD component class's type id; 0 when the program has none
};
