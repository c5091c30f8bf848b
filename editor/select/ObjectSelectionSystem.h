// The editor's mouse picking: whenever the mouse ray changes (or what it
// picked is deleted, or proxies are added) it finds the proxy under the mouse
// (or, in HUD select mode, the HUD element under the pointer) and tells the
// controls the picked proxy (kMsgPickedProxy) and the object it stands for
// (kMsgPickedObject). Of the proxies whose bounding sphere the ray meets, those
// whose drawn shape it meets come first, the shape met first before the
// others (a marker drawn in lines counts where the ray leaves it, so what
// lies inside it comes first); then the nearest by position. A waypoint's
// sphere is picked only while its track is selected (it is drawn only then).
// The filter judges the scene object a proxy stands for (its id, archetype
// and components). A pick scans a packed copy of the proxies' world bounding
// spheres and judges afresh only those the ray meets. The copy is taken again
// for what may have moved since the last pick: everything at or below the
// selection and what was selected since (a track's waypoint spheres are its
// children), the objects named by kMsgObjectPlaced, what lies below the
// lights and sky boxes (their panel moves them unselected), and every proxy
// once any object has left the registry. A child system of the Editor, made in its
// Init and deleted with it. Main thread only.
#pragma once
#include <unordered_map>
#include <vector>

#include "core/Types.h"
#include "editor/select/SelectionFilter.h"
#include "engine/ISystem.h"
#include "engine/Ray.h"
#include "port/math/D3DX.h"

class GameObject;
class Model;
class Overlord;
class Transform;

class ObjectSelectionSystem : public ISystem {
public:
    // Objects nearer the eye than this are never picked (world units).
    static constexpr float kMinPickDistance = 1.5f;

    ObjectSelectionSystem();

    // The mouse ray, proxy and HUD announcements, HUD select mode, the
    // filter, the selection and the objects that moved.
    void HandleMessage(Message* message) override;
    // Picks and announces when the ray moved since the last frame.
    void Update(float dt) override;
    // Subscribes and leaves HUD select mode.
    void Activate() override;
    // Drops the ids of components that are gone (a cleared scene's proxies)
    // and copies the spheres of the others again.
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
    // Where one proxy stands now, its Transform refreshed: what the pick
    // judges it by (the drawn shape is looked up only for a hit).
    struct Placement {
        GameObject* proxy = nullptr;
        GameObject* object = nullptr;  // the scene object it stands for
        u32 proxiedObject = 0;
        bool waypoint = false;           // a track's waypoint sphere
        Transform* transform = nullptr;  // the proxy's, else its object's
        D3DXVECTOR3 centre{0, 0, 0};     // of the bounding sphere, world space
        float radius = 0.0f;             // the sphere's extent length times the transform's scale
        D3DXMATRIX world;
    };
    // A proxy's bounding sphere as the last copy found it; `placed` false
    // when it has no transform or sphere (or is gone).
    struct CopiedSphere {
        D3DXVECTOR3 centre{0, 0, 0};
        float radius = 0.0f;
        bool placed = false;
    };
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
    // The proxy of the component id, now; false when it is gone or has no
    // transform or bounding sphere.
    static bool Place(const Overlord& overlord, u32 componentId, Placement* out);
    // Ranks the proxy against the best so far (distance, sphere, shape, filter).
    void Judge(const Overlord& overlord, u32 componentId, const Ray& ray, const Ray& unit, Candidate* best) const;
    // Brings the copied spheres up to date before a pick.
    void RefreshCopies(const Overlord& overlord);
    // Copies every live proxy's sphere again and drops the ids of gone ones.
    void CopyAll(const Overlord& overlord);
    void CopyOne(const Overlord& overlord, size_t entry);
    // Marks for copying the proxies placed by the object or anything below it.
    void MarkBelow(const Overlord& overlord, u32 objectId);
    void AddEntry(u32 componentId);

    std::vector<u32> proxyComponents_;  // EditorProxyObject component ids, in announcement order
    std::vector<u32> hudComponents_;    // HUD component ids, in announcement order
    std::vector<u32> sceneComponents_;  // GlobalLighting and Skybox component ids
    u32 pickedObject_ = 0;
    u32 pickedProxy_ = 0;
    bool proxiesAdded_ = false;  // since the last pick
    u32 selectedObject_ = 0;     // the Editor's, every frame: its waypoint spheres are drawn
    Ray previousRay_{};
    Ray currentRay_{};  // as received
    bool hudSelectMode_ = false;
    SelectionFilter filter_;
    u32 hudTypeId_ = 0;  // the HUD component class's type id; 0 when the program has none

    // Parallel to proxyComponents_: the copied spheres, the object whose
    // Transform placed each, and whether it waits in toCopy_.
    std::vector<CopiedSphere> spheres_;
    std::vector<u32> placedBy_;
    std::vector<u8> queued_;
    std::vector<u32> toCopy_;                            // entries to copy again at the next pick
    std::unordered_multimap<u32, u32> entriesByPlacer_;  // object id -> entry, of the last copies
    std::vector<u32> moved_;  // objects that may have moved, with what lies below them, since the last pick
    bool copyAll_ = true;
    u64 removalsSeen_ = 0;  // the Overlord's object removals at the last whole copy
};
