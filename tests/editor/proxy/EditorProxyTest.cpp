// The editor's proxies: which marker each kind of scene object gets, the
// waypoint proxies of tracks and how they follow deletions, rebuilds and
// additions, and Tab through the proxies.
#include "editor/proxy/EditorProxyObject.h"
#include "editor/proxy/EditorProxySystem.h"
#include "editor/proxy/WaypointProxyVisualization.h"
#include "game/level/PlayerPositionTrigger.h"
#include "game/physics/BoundingSphere.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
#include "render/mesh/Model.h"
#include "tests/editor/EditorTestWorld.h"

namespace {
class EditorProxyTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        Enter();
        proxies = editor->GetProxySystem();
    }
    // A scene object with a Transform at the position and the components.
    u32 Add(const D3DXVECTOR3& position, std::initializer_list<IComponent*> components = {}) {
        const u32 id = AddSceneObject(position);
        for (IComponent* component : components) Object(id)->AddComponent(component);
        return id;
    }
    template <class T>
    static T* Make() {
        return ObjectFactory::Instance()->Create<T>();
    }
    static PlayerPath* Path(std::initializer_list<D3DXVECTOR3> points) {
        auto* path = Make<PlayerPath>();
        for (const D3DXVECTOR3& point : points) path->wps.push_back(Waypoint{point, {0, 0, 0, 1}});
        return path;
    }
    template <class T>
    T* Of(u32 objectId) const {
        GameObject* object = Object(objectId);
        return object ? object->GetComponent<T>() : nullptr;
    }
    std::vector<u32> WaypointIndices(u32 track) const {
        std::vector<u32> indices;
        for (u32 id : proxies->GetWaypointProxies(track))
            if (auto* link = Of<WaypointProxyVisualization>(id)) indices.push_back(link->waypointIndex);
        return indices;
    }
    static size_t LiveProxyComponents() {
        size_t count = 0;
        Overlord::Instance()->Components().ForEach([&count](u32, IComponent* component) {
            count += component->GetTypeId() == TypeId<EditorProxyObject>::Get();
        });
        return count;
    }
    // A delete of the waypoint proxy: picked as a click on it picks it.
    void DeleteWaypoint(u32 track, u32 waypointProxy) {
        ::Broadcast(kMsgSelectObject, 0, track);
        ::Broadcast(kMsgPickObject, 0, waypointProxy);
        ::Broadcast(kMsgDeleteSelection, 0, 0u);
    }

    EditorProxySystem* proxies = nullptr;
};

struct Marker {
    D3DXCOLOR colour;
    float radius;
};

TEST_F(EditorProxyTest, EachKindOfObjectGetsItsMarker) {
    auto* mesh = Make<Model>();
    mesh->center = {0, 1, 0};
    mesh->extent = {2, 1, 1};
    const u32 model = Add({4, 0, 0}, {mesh});
    auto* triggerComponent = Make<PlayerPositionTrigger>();
    triggerComponent->radius = 3.0f;
    const u32 trigger = Add({0, 5, 0}, {triggerComponent});
    const u32 track = Add({0, 0, 9}, {Path({{0, 0, 0}, {0, 0, 10}, {5, 0, 20}})});
    const u32 crawler = Add({7, 1, 2}, {Make<SplineCrawler>()});
    const u32 empty = Add({-3, 0, 0});
    editor->OnSceneLoaded();

    // The model object is picked through its own mesh and shows no marker.
    const u32 modelProxy = proxies->FindProxy(model);
    ASSERT_NE(modelProxy, 0u);
    EXPECT_EQ(Of<Model>(modelProxy), nullptr);
    EXPECT_EQ(Of<Transform>(modelProxy), nullptr);
    EXPECT_EQ(Of<BoundingSphere>(modelProxy)->center, mesh->center);
    EXPECT_EQ(Of<BoundingSphere>(modelProxy)->extent, mesh->extent);

    const std::pair<u32, Marker> markers[] = {
        {trigger, {{0, 1, 1, 1}, 3.0f}},
        {track, {{0, 1, 0, 1}, 1.5f}},
        {crawler, {{0, 0, 1, 1}, 1.0f}},
        {empty, {{1, 1, 1, 1}, 1.0f}},
    };
    for (const auto& [object, marker] : markers) {
        const u32 proxy = proxies->FindProxy(object);
        ASSERT_NE(proxy, 0u) << object;
        const Model* shown = Of<Model>(proxy);
        ASSERT_NE(shown, nullptr) << object;
        EXPECT_EQ(shown->extent, D3DXVECTOR3(marker.radius, marker.radius, marker.radius)) << object;
        EXPECT_EQ(Of<EditorProxyObject>(proxy)->markerColour, marker.colour) << object;
        EXPECT_EQ(Of<BoundingSphere>(proxy)->extent, shown->extent) << object;
        EXPECT_EQ(Object(proxy)->GetParent(), object) << "the marker rides on its object";
        EXPECT_EQ(Of<Transform>(proxy)->worldPosition, Of<Transform>(object)->worldPosition) << object;
    }
    EXPECT_EQ(Of<Model>(proxies->FindProxy(crawler))->filename, "") << "the crawler's marker is a cube";

    EXPECT_EQ(WaypointIndices(track), (std::vector<u32>{0, 1, 2}));
    for (u32 id : proxies->GetWaypointProxies(track)) {
        EXPECT_EQ(Object(id)->GetParent(), track);
        EXPECT_EQ(Of<Model>(id)->extent, D3DXVECTOR3(0.5f, 0.5f, 0.5f));
        EXPECT_EQ(Of<EditorProxyObject>(id)->markerColour, D3DXCOLOR(1, 0, 0, 1));
    }
    EXPECT_EQ(Of<Transform>(proxies->GetWaypointProxies(track)[2])->worldPosition, D3DXVECTOR3(5, 0, 29));

    // One proxy per object, ascending; waypoint proxies are not in the list.
    const std::vector<u32>& list = proxies->GetProxies();
    ASSERT_EQ(list.size(), 5u);
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));

    SceneManager::Instance()->ClearScene();
    EXPECT_TRUE(proxies->GetProxies().empty());
    EXPECT_TRUE(proxies->GetWaypointProxies(track).empty());
    EXPECT_EQ(LiveProxyComponents(), 0u);
}

TEST_F(EditorProxyTest, AProxyComponentNamingNothingIsNoProxy) {
    const u32 object = Add({0, 0, 0});
    editor->OnSceneLoaded();
    // Added by hand (the components panel offers the class): names object 0.
    IComponent* tag = Make<EditorProxyObject>();
    Object(object)->AddComponent(tag);
    ::Broadcast(ComponentAnnounced(TypeId<EditorProxyObject>::Get()), object, tag->GetId());
    EXPECT_EQ(proxies->GetProxies().size(), 1u);
    EXPECT_EQ(proxies->FindProxy(0), 0u);
}

TEST_F(EditorProxyTest, DeletingAWaypointLeavesTheOthersRenumbered) {
    const u32 track = Add({0, 0, 0}, {Path({{0, 0, 0}, {0, 0, 10}, {0, 0, 20}})});
    editor->OnSceneLoaded();
    const std::vector<u32> before = proxies->GetWaypointProxies(track);
    ASSERT_EQ(before.size(), 3u);

    DeleteWaypoint(track, before[1]);
    EXPECT_EQ(Of<PlayerPath>(track)->wps.size(), 2u);
    EXPECT_EQ(WaypointIndices(track), (std::vector<u32>{0, 1}));
    for (u32 old : before) EXPECT_EQ(Object(old), nullptr);
    EXPECT_EQ(Of<Transform>(proxies->GetWaypointProxies(track)[1])->position, D3DXVECTOR3(0, 0, 20));
    EXPECT_EQ(editor->GetSelectedObject(), 0u);
    EXPECT_NE(Object(track), nullptr) << "the track itself stays";

    // A proxy whose index is past the end removes nothing.
    const u32 stale = proxies->GetWaypointProxies(track)[1];
    Of<WaypointProxyVisualization>(stale)->waypointIndex = 5;
    DeleteWaypoint(track, stale);
    EXPECT_EQ(Of<PlayerPath>(track)->wps.size(), 2u);
}

TEST_F(EditorProxyTest, ADeletedTrackLeavesNoWaypointProxyBehind) {
    const u32 track = Add({0, 0, 0}, {Path({{0, 0, 0}, {0, 0, 10}, {0, 0, 20}})});
    const u32 other = Add({0, 0, 0}, {Path({{1, 0, 0}, {1, 0, 10}})});
    editor->OnSceneLoaded();
    const std::vector<u32> waypoints = proxies->GetWaypointProxies(track);
    ::Broadcast(kMsgSelectObject, 0, track);
    ::Broadcast(kMsgPickObject, 0, proxies->FindProxy(track));
    ::Broadcast(kMsgDeleteSelection, 0, 0u);
    EndFrame();
    for (u32 id : waypoints) EXPECT_EQ(Object(id), nullptr);
    EXPECT_TRUE(proxies->GetWaypointProxies(track).empty());
    EXPECT_EQ(proxies->GetWaypointProxies(other).size(), 2u);

    // Unregistered some other way (the message alone): the same.
    Overlord::Instance()->UnregisterGameObject(other);
    EndFrame();
    EXPECT_TRUE(proxies->GetWaypointProxies(other).empty());
    EXPECT_TRUE(proxies->GetProxies().empty());
    EXPECT_EQ(LiveProxyComponents(), 0u);
}

TEST_F(EditorProxyTest, WaypointProxiesFollowTheirWaypoints) {
    const u32 track = Add({0, 0, 0}, {Path({{0, 0, 0}, {0, 0, 10}, {0, 0, 20}})});
    editor->OnSceneLoaded();
    const std::vector<u32> ids = proxies->GetWaypointProxies(track);
    PlayerPath* path = Of<PlayerPath>(track);

    // Moved: the proxy follows in position only.
    path->wps[0].pos = {3, 0, 0};
    path->wps[0].orientation = {0, 1, 0, 0};
    proxies->Update(0.0f);  // not the selected track: nothing moves yet
    EXPECT_EQ(Of<Transform>(ids[0])->position, D3DXVECTOR3(0, 0, 0));
    ::Broadcast(kMsgSelectObject, 0, track);
    ::Broadcast(kMsgPickObject, 0, proxies->FindProxy(track));
    proxies->Update(0.0f);
    EXPECT_EQ(Of<Transform>(ids[0])->position, D3DXVECTOR3(3, 0, 0));
    EXPECT_EQ(Of<Transform>(ids[0])->rotation, D3DXQUATERNION(0, 0, 0, 1));

    // A rebuild after the last waypoint went destroys its proxy.
    path->wps.pop_back();
    ::Broadcast(kMsgPathRebuilt, track);
    EXPECT_EQ(Object(ids[2]), nullptr);
    EXPECT_NE(Object(ids[1]), nullptr);
}

TEST_F(EditorProxyTest, TabVisitsTheProxiesInCreationOrderAndCtrlTabGoesBack) {
    std::vector<u32> objects;
    for (int i = 0; i < 4; ++i) objects.push_back(Add({0, 0, 10.0f * i}));
    editor->OnSceneLoaded();
    const std::vector<u32> list = proxies->GetProxies();
    for (size_t k = 1; k <= 9; ++k) {
        ::Broadcast(kMsgSelectNextPrevious, 0, 1u);
        EXPECT_EQ(editor->GetSelectedObject(), objects[k % 4]) << k;
        EXPECT_EQ(editor->GetPickedObject(), list[k % 4]) << k;
    }

    SceneManager::Instance()->ClearScene();
    for (int i = 0; i < 2; ++i) objects[i] = Add({0, 0, 0});
    editor->OnSceneLoaded();
    // The list shrank below the cycle position: Ctrl+Tab starts from the front again.
    ::Broadcast(kMsgSelectNextPrevious, 0, 0u);
    EXPECT_EQ(editor->GetSelectedObject(), objects[1]);

    // A proxy whose object is gone is stepped over.
    Overlord::Instance()->UnregisterGameObject(objects[0]);
    ::Broadcast(kMsgSelectNextPrevious, 0, 1u);
    EXPECT_EQ(editor->GetSelectedObject(), objects[1]);
}
TEST_F(EditorProxyTest, TabAndCtrlTabStepFromWhatWasJustSelected) {
    std::vector<u32> objects;
    for (int i = 0; i < 4; ++i) objects.push_back(Add({0, 0, 10.0f * i}));
    const u32 track = Add({0, 0, 50}, {Path({{0, 0, 0}, {0, 0, 10}})});
    objects.push_back(track);
    editor->OnSceneLoaded();
    // Selected by a click (its proxy picked), by a panel's "Select Object"
    // (no proxy) or by a click on a track's waypoint.
    enum class By { Click, Panel, Waypoint };
    struct Row {
        size_t selected;
        By by;
        u32 direction;  // 1 Tab, 0 Ctrl+Tab
        size_t expected;
    };
    const Row rows[] = {{0, By::Click, 1, 1}, {3, By::Click, 0, 2},    {2, By::Panel, 1, 3},
                        {0, By::Panel, 0, 4}, {4, By::Waypoint, 1, 0}, {4, By::Waypoint, 0, 3}};
    for (const Row& row : rows) {
        // The last Tab stood elsewhere.
        ::Broadcast(kMsgSelectNextPrevious, 0, 1u);
        ::Broadcast(kMsgSelectNextPrevious, 0, 1u);
        const u32 id = objects[row.selected];
        const u32 pick = row.by == By::Click      ? proxies->FindProxy(id)
                         : row.by == By::Waypoint ? proxies->GetWaypointProxies(id).at(1)
                                                  : 0u;
        ::Broadcast(kMsgSelectObject, 0, id);
        ::Broadcast(kMsgPickObject, 0, pick);
        ::Broadcast(kMsgSelectNextPrevious, 0, row.direction);
        EXPECT_EQ(editor->GetSelectedObject(), objects[row.expected]) << row.selected << " " << row.direction;
    }
}

TEST_F(EditorProxyTest, TabAfterADeleteGoesOnInCreationOrderAndTheSceneKeepsIt) {
    std::vector<u32> objects;
    for (int i = 0; i < 5; ++i) objects.push_back(Add({101.0f + i, 0, 0}));
    editor->OnSceneLoaded();
    ::Broadcast(kMsgSelectNextPrevious, 0, 1u);
    ::Broadcast(kMsgSelectNextPrevious, 0, 1u);
    ASSERT_EQ(editor->GetSelectedObject(), objects[2]);
    ::Broadcast(kMsgDeleteSelection, 0, 0u);
    ASSERT_EQ(Object(objects[2]), nullptr);
    std::vector<u32> walked;
    for (int i = 0; i < 4; ++i) {
        ::Broadcast(kMsgSelectNextPrevious, 0, 1u);
        walked.push_back(editor->GetSelectedObject());
    }
    EXPECT_EQ(walked, (std::vector<u32>{objects[3], objects[4], objects[0], objects[1]}));

    // Ctrl+Tab after deleting the last one steps back to the one before it.
    ::Broadcast(kMsgSelectNextPrevious, 0, 1u);
    ::Broadcast(kMsgSelectNextPrevious, 0, 1u);
    ASSERT_EQ(editor->GetSelectedObject(), objects[4]);
    ::Broadcast(kMsgDeleteSelection, 0, 0u);
    ::Broadcast(kMsgSelectNextPrevious, 0, 0u);
    EXPECT_EQ(editor->GetSelectedObject(), objects[3]);

    // Saved (and so loaded again) in the order they were made.
    const std::string text = SceneManager::Instance()->WriteScene();
    std::vector<size_t> at;
    for (const char* x : {"101", "102", "104"}) at.push_back(text.find(x));
    EXPECT_NE(at[0], std::string::npos) << text;
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << text;
}
}  // namespace
