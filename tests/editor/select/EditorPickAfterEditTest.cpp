// The pick after an edit: each case picks once (so the selection system has
// copied every proxy's sphere), makes one edit, then picks along rays through
// where things stand now and where they stood. Each pick must take what a
// selection system meeting every proxy afresh takes, and the case's object.
#include <algorithm>

#include "editor/links/ParentObjectControl.h"
#include "editor/move/MoveRecord.h"
#include "editor/move/VertexSnapControl.h"
#include "editor/proxy/EditorProxyObject.h"
#include "editor/proxy/EditorProxySystem.h"
#include "editor/select/ObjectSelectionSystem.h"
#include "game/track/PlayerPath.h"
#include "render/light/GlobalLighting.h"
#include "render/mesh/Model.h"
#include "tests/editor/EditorTestWorld.h"

namespace {
class EditorPickAfterEditTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        Enter();
        proxies = editor->GetProxySystem();
    }
    // A scene object at the position with its proxy: a marker sphere, or
    // with a model its own bounds (half-size 0.5).
    u32 Add(const D3DXVECTOR3& position, bool model = false) {
        const u32 id = AddSceneObject(position);
        if (model) Object(id)->AddComponent(ObjectFactory::Instance()->Create<Model>());
        if (model) Object(id)->GetComponent<Model>()->extent = {0.5f, 0.5f, 0.5f};
        proxies->CreateProxy(*Object(id));
        return id;
    }
    Transform& At(u32 id) { return *Object(id)->GetComponent<Transform>(); }
    static void Select(u32 id) { ::Broadcast(kMsgSelectedObject, 0, id); }  // as the Editor every frame
    static u32 Pick(ObjectSelectionSystem& system, float x, float y) {
        u32 proxy = 0;
        return system.PickProxy(Ray{{x, y, 0}, {0, 0, 1}}, &proxy);
    }
    // A new selection system told every live proxy in announcement order and the selection.
    u32 PickAfresh(float x, float y, u32 selected) {
        std::vector<u32> ids;
        for (u32 object : SceneManager::Instance()->GetObjectIds()) {
            std::vector<u32> found = proxies->GetWaypointProxies(object);
            found.push_back(proxies->FindProxy(object));
            for (u32 proxy : found)
                if (u32 id = Overlord::Instance()->GetComponentId(proxy, TypeId<EditorProxyObject>::Get()))
                    ids.push_back(id);
        }
        std::sort(ids.begin(), ids.end());
        ObjectSelectionSystem fresh;
        for (u32 id : ids) Tell(fresh, ComponentAnnounced(TypeId<EditorProxyObject>::Get()), id);
        Tell(fresh, kMsgSelectedObject, selected);
        return Pick(fresh, x, y);
    }
    static void Tell(ObjectSelectionSystem& system, const Kind<u32>& kind, u32 value) {
        Message message = MakeMessage(kind, nullptr, 0, 0, value);
        system.HandleMessage(&message);
        message.FreePayload();
    }
    // Along z through (x, y) after the edit, then through (0, 0) and (3, 0).
    void ExpectPicked(float x, float y, u32 object, u32 selected = 0) {
        EXPECT_EQ(Pick(*editor->GetSelectionSystem(), x, y), object);
        for (const auto& [px, py] : {std::pair{x, y}, {0.0f, 0.0f}, {3.0f, 0.0f}})
            EXPECT_EQ(Pick(*editor->GetSelectionSystem(), px, py), PickAfresh(px, py, selected)) << px << "," << py;
    }
    void FirstPick() { Pick(*editor->GetSelectionSystem(), 0, 0); }
    EditorProxySystem* proxies = nullptr;
};

TEST_F(EditorPickAfterEditTest, AnObjectAddedSinceIsPicked) {
    FirstPick();
    const u32 added = Add({3, 0, 10}, true);
    ExpectPicked(3, 0, added);
}

TEST_F(EditorPickAfterEditTest, TheSelectionIsPickedWhereItWasMovedAndItsChildrenWithIt) {
    const u32 parent = Add({0, 5, 10});
    const u32 child = Add({0, 0, 10}, true);
    ASSERT_TRUE(ParentObjectControl::MakeChild(parent, child));
    Select(parent);
    FirstPick();
    At(parent).SetPosition(3, 5, 10);  // as the "Selected" panel writes it
    ExpectPicked(3, 0, child, parent);
}

TEST_F(EditorPickAfterEditTest, AnObjectMovedAndThenLeftIsPickedWhereItWasMoved) {
    const u32 moved = Add({0, 0, 10}, true);
    Select(moved);
    FirstPick();
    At(moved).SetPosition(3, 0, 10);
    Select(0);
    ExpectPicked(3, 0, moved);
}

TEST_F(EditorPickAfterEditTest, AChildOfADeletedObjectIsPickedWhereItIsNowDrawn) {
    const u32 parent = Add({3, 0, 0});
    const u32 child = Add({3, 0, 10}, true);
    ASSERT_TRUE(ParentObjectControl::MakeChild(parent, child));
    FirstPick();
    editor->SelectObject(parent);
    editor->SetPickedObject(proxies->FindProxy(parent));
    ::Broadcast(kMsgDeleteSelection, 0, 0u);
    ASSERT_EQ(Object(parent), nullptr);
    ExpectPicked(3, 0, child);  // the delete detached it where it stood
}

TEST_F(EditorPickAfterEditTest, AnObjectParentedUnderASmallerOneIsPickedByItsLargerSphere) {
    const u32 parent = Add({0, 5, 10});
    At(parent).scale = 0.5f;
    const u32 child = Add({0, 0, 10}, true);
    FirstPick();
    ASSERT_TRUE(ParentObjectControl::MakeChild(parent, child));
    ExpectPicked(1.2f, 0, child);  // the sphere's radius goes by the child's own scale, now 2
}

TEST_F(EditorPickAfterEditTest, AChildOfALightMovedByItsPanelIsPickedWhereItWent) {
    const u32 light = AddSceneObject({0, 5, 10});
    Object(light)->AddComponent(ObjectFactory::Instance()->Create<GlobalLighting>());
    Object(light)->AnnounceComponents();
    const u32 child = Add({0, 0, 10}, true);
    ASSERT_TRUE(ParentObjectControl::MakeChild(light, child));
    FirstPick();
    At(light).SetPosition(3, 5, 10);  // as the scene-components panel writes it, nothing selected
    ExpectPicked(3, 0, child);
}

TEST_F(EditorPickAfterEditTest, AnUndoneMoveOfAnObjectNoLongerSelectedIsPickedWhereItWent) {
    const u32 moved = Add({0, 0, 10}, true);
    Select(moved);
    At(moved).SetPosition(3, 0, 10);
    ::Broadcast(kMsgMoveRecord, 0, MoveRecord{moved, 0, 0, 10});
    Select(0);
    FirstPick();
    ::Broadcast(kMsgUndoMove, 0, 0u);
    ExpectPicked(0, 0, moved);
}

TEST_F(EditorPickAfterEditTest, AnObjectSnappedByItsVertexIsPickedWhereItWent) {
    const u32 snapped = Add({0, 0, 10}, true);
    const u32 target = Add({3, 0, 20}, true);
    FirstPick();
    VertexSnapControl::Snap({snapped, 0, {0, 0, 0}}, {target, 0, {0, 0, -10}});
    ExpectPicked(3, 0, snapped);
}

TEST_F(EditorPickAfterEditTest, ATracksWaypointSpheresArePickedOnlyWhileItIsSelected) {
    auto* path = ObjectFactory::Instance()->Create<PlayerPath>();
    path->wps = {Waypoint{{3, 0, 0}, {0, 0, 0, 1}}, Waypoint{{3, 0, 5}, {0, 0, 0, 1}}};
    const u32 track = AddSceneObject({0, 0, 10});
    Object(track)->AddComponent(path);
    proxies->CreateProxy(*Object(track));
    Select(track);
    FirstPick();
    ExpectPicked(3, 0, track, track);
    Select(0);
    ExpectPicked(3, 0, 0);
}
}  // namespace
