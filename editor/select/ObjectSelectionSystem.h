// The editor's mouse picking: whenever the mouse ray changes (or what it
// picked is deleted, or proxies are added) it finds the proxy under the mouse
// (or, in HUD select mode, the HUD element under the pointer) and tells the
// controls the picked proxy (kMsgPickedProxy) and the object it stands for
// (kMsgPickedObject). Of the proxies whose bounding sphere the ray meets, those
// whose drawn shape it meets come first, the shape met first before the
// others (a marker drawn in lines counts where the ray leaves it, so what
// lies inside it comes first); then the nearest by position. A waypoint's
// sphere is picked only while its track is selected (it is drawn only then). A child system of the Editor,
// made in its Init and deleted with it. The filter judges the scene object a
// proxy stands for (its id, archetype and components). Keeps component ids, dropping those
// whose component is gone as it walks them. Main thread only.
#pragma once
#include <vector>

#include "core/Types.h"
#include "editor/select/SelectionFilter.h"
#include "engine/ISystem.h"
#include "engine/Ray.h"

class Model;

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

    // Whether the ray (unit direction) meets the shape the model draws with
    // the world matrix: its mesh triangles when a model file's mesh is kept,
    // the sphere of a debug-sphere marker, else its bounding box. *depth gets
    // the distance from the ray's origin to where the ray enters it, or, for
    // a debug sphere (drawn in lines, seen through), where it leaves it.
    static bool ShapeUnderRay(const Model& model, const D3DXMATRIX& world, const Ray& ray, float* depth);

    u32 GetPickedObject() const { return pickedObject_; }
    bool IsHudSelectMode() const { return hudSelectMode_; }
    const SelectionFilter& GetFilter() const { return filter_; }
    size_t ProxyCount() const { return proxyComponents_.size(); }

private:
    // One proxy the ray reaches, as the pick ranks it.
    struct Candidate {
        u32 object = 0;
        u32 proxy = 0;
        float distance = 0.0f;  // from the ray's origin to the object's position
        bool over = false;      // the ray meets the drawn shape, not only the bounding sphere
        float depth = 0.0f;     // where it meets the shape (ShapeUnderRay), from the ray's origin
        // Whether it is picked before the best so far (none: object 0).
        bool Beats(const Candidate& best) const;
    };
    // The last pick names something deleted since, or proxies were added.
    bool PickIsStale() const;

    std::vector<u32> proxyComponents_;  // EditorProxyObject component ids, in announcement order
    std::vector<u32> hudComponents_;    // HUD component ids, in announcement order
    u32 pickedObject_ = 0;
    u32 pickedProxy_ = 0;
    bool proxiesAdded_ = false;  // since the last pick
    u32 selectedObject_ = 0;     // the Editor's, every frame: its waypoint spheres are drawn
    Ray previousRay_{};
    Ray currentRay_{};  // as received
    bool hudSelectMode_ = false;
    SelectionFilter filter_;
    u32 hudTypeId_ = 0;  // the HUD component class's type id; 0 when the program has none
};
