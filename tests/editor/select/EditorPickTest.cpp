// Mouse picking and click selection: the pick geometry, which proxy the
// ObjectSelectionSystem picks for a ray, the filter, HUD mode, and the
// click, Escape and re-click path through the real controls.
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "controls/Control.h"
#include "editor/menus/EditorUISystem.h"
#include "editor/proxy/EditorProxySystem.h"
#include "editor/select/ObjectSelectedTrigger.h"
#include "editor/select/ObjectSelectionSystem.h"
#include "editor/select/PickGeometry.h"
#include "editor/select/SelectionFilter.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
#include "render/camera/Camera.h"
#include "render/mesh/Model.h"
#include "render/mesh/ModelCacheEntry.h"
#include "tests/editor/EditorTestWorld.h"

namespace {
TEST(PickGeometryTest, MouseRayRunsThroughThePixel) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    const Ray centre = MouseToWorldRay(50, 50, 100, 100, identity, identity);
    EXPECT_EQ(centre.origin, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(centre.direction, D3DXVECTOR3(0, 0, 1));
    EXPECT_EQ(MouseToWorldRay(100, 0, 100, 100, identity, identity).direction, D3DXVECTOR3(1, 1, 1));
    D3DXMATRIX moved = identity;
    moved._41 = 3;
    moved._42 = 4;
    EXPECT_EQ(MouseToWorldRay(50, 50, 100, 100, identity, moved).origin, D3DXVECTOR3(3, 4, 0));
}

TEST(PickGeometryTest, GroundPlaneIsHitOnlyAheadAndNotAlongIt) {
    const D3DXVECTOR3 from(0, 10, 0), origin(0, 0, 0), up(0, 1, 0);
    D3DXVECTOR3 hit(7, 7, 7);
    EXPECT_TRUE(RayPlaneIntersect(from, {0, -1, 0}, origin, up, &hit));
    EXPECT_EQ(hit, D3DXVECTOR3(0, 0, 0));
    EXPECT_FALSE(RayPlaneIntersect(from, {0, 1, 0}, origin, up, &hit));
    EXPECT_FALSE(RayPlaneIntersect(from, {1, 0.0005f, 0}, origin, up, &hit));
    ASSERT_TRUE(RayPlaneIntersect(from, {1, -0.002f, 0}, origin, up, &hit));
    EXPECT_NEAR(hit.x, 5000.0f, 0.5f);
    EXPECT_NEAR(hit.y, 0.0f, 1e-3f);
}

TEST(PickGeometryTest, SphereTestsAheadOnlyAndSurvivesAnOriginOnTheSurface) {
    const D3DXVECTOR3 centre(0, 0, 10);
    EXPECT_TRUE(RaySphereIntersect({0, 0, 0}, {0, 0, 1}, centre, 1));
    EXPECT_TRUE(RaySphereIntersect({0, 0, 0}, {0, 0, 5}, centre, 1)) << "a long direction";
    EXPECT_FALSE(RaySphereIntersect({0, 0, 0}, {0, 0, -1}, centre, 1)) << "behind";
    EXPECT_FALSE(RaySphereIntersect({0, 0, 0}, {0, 1, 0}, centre, 1)) << "beside";
    // On the surface: looking along the tangent plane, into it, away from it.
    EXPECT_TRUE(RaySphereIntersect({0, 0, 9}, {1, 0, 0}, centre, 1));
    EXPECT_TRUE(RaySphereIntersect({0, 0, 9}, {0, 0, 1}, centre, 1));
    EXPECT_TRUE(RaySphereIntersect({0, 0, 9}, {0, 0, -1}, centre, 1)) << "the root at 0 counts";
    EXPECT_FALSE(RaySphereIntersect({0, 0, 0}, {0, 0, 0}, centre, 1)) << "no direction";
}

// Rays grazing spheres near and far, big and small: the quick look passes
// over only what the full test misses, and over a sphere well beside the ray.
TEST(PickGeometryTest, TheQuickLookPassesOverOnlySpheresTheFullTestMisses) {
    const D3DXVECTOR3 origin(0.3f, -0.7f, 0.1f), direction(0.6f, 0.0f, 0.8f), side(0.8f, 0.0f, -0.6f);
    for (float distance : {2.0f, 10.0f, 1000.0f, 1e5f})
        for (float radius : {0.01f, 1.0f, 50.0f})
            for (float offset : {0.0f, 0.999999f, 1.0f, 1.000001f, 1.0001f, 1.01f, 3.0f}) {
                const D3DXVECTOR3 centre = origin + direction * distance + side * (radius * offset);
                EXPECT_FALSE(LineClearlyMissesSphere(origin, direction, centre, radius) &&
                             RaySphereIntersect(origin, direction, centre, radius))
                    << distance << " " << radius << " " << offset;
            }
    EXPECT_TRUE(LineClearlyMissesSphere(origin, direction, origin + direction * 10.0f + side * 5.0f, 1.0f));
}

TEST(PickGeometryTest, ScreenRectangleTestsBothAxes) {
    const D3DXVECTOR3 v1(-10, -5, 1), v2(-10, 5, 1), v3(10, 5, 1), v4(10, -5, 1);
    EXPECT_TRUE(PointInScreenRect({0, 0, 1}, v1, v2, v3, v4));
    EXPECT_TRUE(PointInScreenRect({10, 5, 1}, v1, v2, v3, v4)) << "edges count";
    EXPECT_FALSE(PointInScreenRect({0, 6, 1}, v1, v2, v3, v4));
    EXPECT_FALSE(PointInScreenRect({11, 0, 1}, v1, v2, v3, v4));
    EXPECT_FALSE(PointInScreenRect({-11, 0, 1}, v1, v2, v3, v4));
}

TEST(SelectionFilterTest, ObjectBeatsArchetypeBeatsTypeInAscendingTypeOrder) {
    Transform transform;  // outlives the object, which does not delete its components
    GameObject object;
    object.SetArchetypeName("Ship");
    object.AddComponent(&transform);
    SelectionFilter filter;
    EXPECT_FALSE(filter.Excludes(object)) << "empty";
    filter.byType[TypeId<Transform>::Get()] = true;
    EXPECT_TRUE(filter.Excludes(object));
    filter.byArchetype["Ship"] = false;
    EXPECT_FALSE(filter.Excludes(object));
    filter.byObject[object.GetId()] = true;
    EXPECT_TRUE(filter.Excludes(object));
    filter.byObject[object.GetId()] = false;
    filter.byArchetype["Ship"] = true;
    EXPECT_FALSE(filter.Excludes(object));
}

class EditorPickTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        Enter();
        selection = editor->GetSelectionSystem();
        proxies = editor->GetProxySystem();
        recorder->Listen(kMsgPickedProxy);
        recorder->Listen(kMsgPickedObject);
    }
    // A scene object with a model of half-size 0.5 at the position, with its proxy.
    u32 AddModelObject(const D3DXVECTOR3& position, const std::string& archetype = "") {
        const u32 id = AddSceneObject(position);
        auto* model = ObjectFactory::Instance()->Create<Model>();
        model->extent = {0.5f, 0.5f, 0.5f};
        Object(id)->AddComponent(model);
        Object(id)->SetArchetypeName(archetype);
        proxies->CreateProxy(*Object(id));
        return id;
    }
    // What one pick frame with this ray sends: {proxy, object}, or empty.
    std::vector<std::string> Pick(const Ray& ray) {
        recorder->rows.clear();
        ::Broadcast(kMsgMouseRay, 0, ray);
        selection->Update(0.0f);
        return recorder->rows;
    }
    std::vector<std::string> Picked(u32 proxy, u32 object) const {
        return {"34,4=" + std::to_string(proxy), "34,3=" + std::to_string(object)};
    }
    Ray Along(const D3DXVECTOR3& direction, const D3DXVECTOR3& origin = {0, 0, 0}) {
        // Nudged each time so that every pick sees a new ray.
        nudge_ += 0.01f;
        return Ray{origin + D3DXVECTOR3(0, nudge_, 0), direction};
    }

    ObjectSelectionSystem* selection = nullptr;
    EditorProxySystem* proxies = nullptr;
    float nudge_ = 0.0f;
};

// A model made from the components list draws nothing until its file name
// is typed: meanwhile a marker picks its object. The name entered in the
// "Selected" bar loads the model and its bounds at once, which the object is
// then picked by; a typed position moves the world-position row at once.
TEST_F(EditorPickTest, AModelNameEnteredInThePanelLoadsAtOnceAndAMarkerPicksItUntilThen) {
    std::filesystem::create_directory(Path("model"));
    std::filesystem::copy_file(std::string(std::getenv("DD_ASSET_DIR")) + "/model/Ship.bin", Path("model/Ship.bin"));
    ::Broadcast(kMsgAddComponent, 0, std::string("Model"));
    const u32 id = SceneManager::Instance()->GetObjectIds().back();
    const D3DXVECTOR3 placed = Object(id)->GetComponent<Transform>()->worldPosition;
    EXPECT_GT(D3DXVec3Length(&placed), ObjectSelectionSystem::kMinPickDistance)
        << "in front of the camera at the origin";
    Object(id)->GetComponent<Transform>()->SetPosition(0, 0, 8);
    u32 proxy = 0;
    EXPECT_EQ(selection->PickProxy(Along({0, 0, 1}), &proxy), id) << "a marker while the model draws nothing";
    EXPECT_NE(Overlord::FindComponent<Model>(proxy), nullptr);

    editor->SelectObject(id);
    editor->SetPickedObject(proxy);  // as a click on the marker does
    TwBar* bar = TwInspectFindBar("Selected");
    ASSERT_TRUE(TwInspectWriteValue(bar, "Model.filename", "Ship"));
    editor->Update(0.016f);
    const Model* model = Object(id)->GetComponent<Model>();
    ASSERT_NE(model->cacheEntry, nullptr);
    EXPECT_EQ(model->extent, model->cacheEntry->extent);
    EXPECT_GT(D3DXVec3Length(&model->extent), 1.0f);
    std::string shown;
    ASSERT_TRUE(TwInspectReadValue(bar, "Extent", &shown));
    EXPECT_NE(shown, "0 0 0");
    EXPECT_EQ(Overlord::FindComponent<Model>(proxies->FindProxy(id)), nullptr) << "no marker over a drawn model";
    EXPECT_EQ(selection->PickProxy(Along({0, 0, 1}), &proxy), id) << "picked by the model's bounds";
    EXPECT_EQ(editor->GetPickedObject(), proxies->FindProxy(id)) << "the selection's proxy is the new one";

    ASSERT_TRUE(TwInspectWriteValue(bar, "Transform.position", "1 2 30"));
    editor->Update(0.016f);
    ASSERT_TRUE(TwInspectReadValue(bar, "TransformedPosition", &shown));
    EXPECT_EQ(shown, "1 2 30");
}

TEST_F(EditorPickTest, TheNearerLaterProxyAlongTheRayIsPicked) {
    const u32 far = AddModelObject({0, 0, 10});
    const u32 near = AddModelObject({0, 0, 5});
    EXPECT_EQ(Pick(Along({0, 0, 1})), Picked(proxies->FindProxy(near), near));
    EXPECT_EQ(Pick(Along({0, 0, -1})), Picked(0, 0)) << "behind the eye";
    const u32 twin = AddModelObject({0, 0, 5});
    EXPECT_EQ(Pick(Along({0, 0, 1})), Picked(proxies->FindProxy(twin), twin)) << "equal distances: the later";
    (void)far;
}

TEST_F(EditorPickTest, TheShapeUnderThePointerComesBeforeANearerBoundingSphere) {
    // A marker (a sphere of radius 1, its bounding sphere radius sqrt 3)
    // beside the ray and nearer the eye; a model object on the ray.
    const u32 marker = AddSceneObject({1.5f, 0, 8});
    proxies->CreateProxy(*Object(marker));
    const u32 model = AddModelObject({0, 0, 10});
    EXPECT_EQ(Pick(Along({0, 0, 1})), Picked(proxies->FindProxy(model), model));
    EXPECT_EQ(Pick(Along({0.15f, 0, 1})), Picked(proxies->FindProxy(marker), marker)) << "on the marker itself";
}

TEST_F(EditorPickTest, AtOnePlaceTheMarkerThePointerIsOverIsPicked) {
    // A crawler's cube (corners at +-1) and a plain object's sphere (radius
    // 1) at one place, the sphere made later.
    const u32 crawler = AddSceneObject({0, 0, 10});
    Object(crawler)->AddComponent(ObjectFactory::Instance()->Create<SplineCrawler>());
    proxies->CreateProxy(*Object(crawler));
    const u32 plain = AddSceneObject({0, 0, 10});
    proxies->CreateProxy(*Object(plain));
    EXPECT_EQ(Pick(Along({0, 0, 1}, {0.9f, 0.9f, 0})), Picked(proxies->FindProxy(crawler), crawler))
        << "the cube's corner, outside the sphere";
    EXPECT_EQ(Pick(Along({0, 0, 1})), Picked(proxies->FindProxy(crawler), crawler)) << "the cube is met first";
}

TEST_F(EditorPickTest, WhatLiesInsideALineDrawnMarkerComesFirstAndHiddenWaypointsAreNotPicked) {
    // A carrier at the start of a track, made first: its cube lies inside the
    // track's sphere (radius 1.5), and so does the sphere of waypoint 0.
    const u32 carrier = AddSceneObject({0, 0, 10});
    Object(carrier)->AddComponent(ObjectFactory::Instance()->Create<SplineCrawler>());
    proxies->CreateProxy(*Object(carrier));
    auto* path = ObjectFactory::Instance()->Create<PlayerPath>();
    path->wps = {Waypoint{{0, 0, 0}, {0, 0, 0, 1}}, Waypoint{{0, 0, 5}, {0, 0, 0, 1}}};
    const u32 track = AddSceneObject({0, 0, 10});
    Object(track)->AddComponent(path);
    proxies->CreateProxy(*Object(track));
    const u32 marker = proxies->FindProxy(track);
    EXPECT_EQ(Pick(Along({0, 0, 1})), Picked(proxies->FindProxy(carrier), carrier));
    EXPECT_EQ(Pick(Along({0, 0.13f, 1})), Picked(marker, track)) << "the sphere beside the cube";

    Overlord::Instance()->UnregisterGameObject(carrier);
    EXPECT_EQ(Pick(Along({0, 0, 1})), Picked(marker, track)) << "waypoints unseen while the track is not selected";
    ::Broadcast(kMsgSelectedObject, 0, track);
    EXPECT_EQ(Pick(Along({0, 0, 1})), Picked(proxies->GetWaypointProxies(track).front(), track))
        << "the selected track's waypoint inside its sphere";
}

TEST_F(EditorPickTest, ObjectsAtOrAroundTheEyeAreNeverPicked) {
    AddModelObject({0, 0, 1.4f});
    auto* big = ObjectFactory::Instance()->Create<Model>();
    big->extent = {20, 20, 20};
    const u32 around = AddSceneObject({0, 0, 8});
    Object(around)->AddComponent(big);
    proxies->CreateProxy(*Object(around));
    EXPECT_EQ(Pick(Along({0, 0, 1})), Picked(0, 0));
}

TEST_F(EditorPickTest, AStillRayPicksOnceEvenWhenItIsNotUnitLength) {
    const u32 object = AddModelObject({0, 0, 5});
    const Ray ray{{0, 0, 0}, {0, 0, 3}};
    EXPECT_EQ(Pick(ray), Picked(proxies->FindProxy(object), object));
    EXPECT_TRUE(Pick(ray).empty());
    EXPECT_TRUE(Pick(ray).empty());
}

TEST_F(EditorPickTest, TheFilterLeavesObjectsOutAndHudModeSendsNoProxy) {
    const u32 near = AddModelObject({0, 0, 5}, "Crate");
    const u32 far = AddModelObject({0, 0, 10});
    SelectionFilter filter;
    filter.byArchetype["Crate"] = true;
    ::Broadcast(kMsgPickFilter, 0, filter);
    EXPECT_EQ(Pick(Along({0, 0, 1})), Picked(proxies->FindProxy(far), far));
    filter.byObject[near] = false;
    ::Broadcast(kMsgPickFilter, 0, filter);
    EXPECT_EQ(Pick(Along({0, 0, 1})), Picked(proxies->FindProxy(near), near));

    ::Broadcast(kMsgToggleHudSelect, 0);
    EXPECT_EQ(Pick(Along({0, 0, 1})), Picked(0, 0));
    editor->Deactivate();
    editor->Activate();
    EXPECT_FALSE(selection->IsHudSelectMode()) << "activation leaves HUD mode";
}

TEST_F(EditorPickTest, StaleProxiesAreDroppedWhenTheSceneClears) {
    for (int i = 0; i < 5; ++i) AddModelObject({0, 0, 5.0f + i});
    EXPECT_EQ(selection->ProxyCount(), 5u);
    SceneManager::Instance()->ClearScene();
    EXPECT_EQ(selection->ProxyCount(), 0u);
}

TEST_F(EditorPickTest, HudElementsSideBySideAreEachPickedByThePointer) {
    // Two 40 x 20 pictures at (-100, 50) and (100, 50) from the centre of a
    // 400 x 300 window (y up), each carrying a HUD component.
    ObjectFactory& factory = *ObjectFactory::Instance();
    std::vector<u32> elements;
    for (float x : {-100.0f, 100.0f}) {
        GameObject* element = factory.NewGameObject();
        Transform* transform = factory.Create<Transform>();
        transform->position = {x, 50, 1};
        element->AddComponent(transform);
        auto* picture = factory.Create<Model>();
        picture->extent = {20, 10, 0};
        element->AddComponent(picture);
        IComponent* hud = factory.GetPrototype("HUDComponent")->Clone();
        element->AddComponent(hud);
        ::Broadcast(ComponentAnnounced(hud->GetTypeId()), element->GetId(), hud->GetId());
        elements.push_back(element->GetId());
    }
    // Pixels: the left one spans x 80..120, the right one 280..320; both y 90..110.
    EXPECT_EQ(selection->PickHud(100, 100, 400, 300), elements[0]);
    EXPECT_EQ(selection->PickHud(300, 100, 400, 300), elements[1]);
    EXPECT_EQ(selection->PickHud(200, 100, 400, 300), 0u) << "between them";
    EXPECT_EQ(selection->PickHud(100, 150, 400, 300), 0u) << "below them";
}

// The click path through the window's input and the real controls.
class EditorClickTest : public EditorPickTest {
protected:
    void SetUp() override {
        EditorPickTest::SetUp();
        D3DXMatrixIdentity(&view_);
        D3DXMatrixIdentity(&projection_);
        ::Broadcast(kMsgClientRect, 0, ClientRect{0, 0, 100, 100});
        const D3DXMATRIX* view = &view_;
        const D3DXMATRIX* projection = &projection_;
        ::Broadcast(kMsgViewMatrix, 0, view);
        ::Broadcast(kMsgProjectionMatrix, 0, projection);
        recorder->Listen(kMsgSelectObject);
        recorder->Listen(kMsgPickObject);
    }
    // One frame as the engine runs it: controls, the Editor, the input edges.
    void RunFrame() {
        gui->Update(0.016f);
        editor->Update(0.016f);
        input->Update(0.016f);
    }
    // The selection messages a click at (x, y) sends.
    std::vector<std::string> Click(i32 x, i32 y) {
        input->MouseMoved(x, y, 0);
        RunFrame();
        recorder->rows.clear();
        input->ButtonDown(0, x, y);
        RunFrame();
        input->ButtonUp(0);
        RunFrame();
        RunFrame();  // the click control lets go of the input
        std::vector<std::string> rows;
        for (const std::string& row : recorder->rows)
            if (row.rfind("32,", 0) == 0) rows.push_back(row);
        return rows;
    }
    D3DXMATRIX view_, projection_;
};

TEST_F(EditorClickTest, AClickSelectsTheObjectAndItsProxyAgainAfterEscape) {
    const u32 object = AddModelObject({0, 0, 10});
    const std::string proxy = std::to_string(proxies->FindProxy(object));
    const std::vector<std::string> selected = {"32,2=" + std::to_string(object), "32,3=" + proxy};
    EXPECT_TRUE(Click(0, 0).empty()) << "empty space";
    EXPECT_EQ(Click(50, 50), selected);
    EXPECT_EQ(editor->GetSelectedObject(), object);
    EXPECT_EQ(editor->GetPickedObject(), proxies->FindProxy(object));
    EXPECT_TRUE(Click(50, 50).empty()) << "already selected";

    input->KeyPressed(0x1B);
    RunFrame();
    input->KeyReleased(0x1B);
    RunFrame();
    EXPECT_EQ(editor->GetPickedObject(), 0u);
    EXPECT_EQ(Click(50, 50), selected);
    EXPECT_EQ(editor->GetPickedObject(), proxies->FindProxy(object)) << "Delete works again";
}

TEST_F(EditorClickTest, AClickWhereADeletedObjectWasTakesWhatIsBehindIt) {
    const u32 near = AddModelObject({0, 0, 10});
    const u32 far = AddModelObject({0, 0, 20});
    EXPECT_EQ(Click(50, 50).front(), "32,2=" + std::to_string(near));
    input->KeyPressed(0x2E);  // Delete, the pointer still
    RunFrame();
    input->KeyReleased(0x2E);
    RunFrame();
    ASSERT_EQ(Object(near), nullptr);
    input->ButtonDown(0, 50, 50);
    RunFrame();
    input->ButtonUp(0);
    RunFrame();
    RunFrame();
    EXPECT_EQ(editor->GetSelectedObject(), far);
    const std::vector<std::string> shown = Entries("Selected");
    EXPECT_NE(std::find(shown.begin(), shown.end(), "GUID"), shown.end()) << "the panel shows the object behind";

    // Nothing behind: the click selects nothing and the panel stays empty.
    input->KeyPressed(0x2E);
    RunFrame();
    input->KeyReleased(0x2E);
    RunFrame();
    input->ButtonDown(0, 50, 50);
    RunFrame();
    input->ButtonUp(0);
    RunFrame();
    RunFrame();
    EXPECT_EQ(editor->GetSelectedObject(), 0u);
    EXPECT_TRUE(Entries("Selected").empty());
}

TEST_F(EditorClickTest, TheObjectAClickWouldTakeIsOutlinedAndNamedBeforeTheClick) {
    const u32 crate = AddModelObject({0, 0, 10}, "Crate");
    const u32 marker = AddSceneObject({0, 5, 10});
    proxies->CreateProxy(*Object(marker));
    EditorUISystem* ui = editor->GetUISystem();
    std::vector<u32>& outlined = graphics->GetLists().highlights;
    // The outline of one frame once the pick has followed the pointer.
    auto hover = [&](i32 x, i32 y) {
        input->MouseMoved(x, y, 0);
        RunFrame();
        outlined.clear();
        RunFrame();
        return outlined;
    };
    EXPECT_EQ(hover(50, 50), std::vector<u32>{crate}) << "its own model";
    EXPECT_EQ(ui->PointerLine(), "A click takes Crate (GUID " + std::to_string(crate) + ")");
    EXPECT_EQ(hover(50, 25), std::vector<u32>{proxies->FindProxy(marker)}) << "its marker";
    Click(50, 50);
    outlined.clear();
    RunFrame();
    EXPECT_TRUE(outlined.empty()) << "the selection is not outlined as under the pointer";
    EXPECT_EQ(ui->PointerLine(), "");
}

TEST_F(EditorClickTest, ARightDragTurnsTheActiveCamera) {
    auto* camera = dynamic_cast<Camera*>(Overlord::Instance()->GetComponentById(editor->GetFreeRoamCamera()));
    ::Broadcast(kMsgActiveCamera, 0, editor->GetFreeRoamCamera());
    input->MouseMoved(50, 50, 0);
    RunFrame();
    input->ButtonDown(1, 50, 50);
    input->MouseMoved(60, 50, 2);
    RunFrame();  // the drag starts here
    input->MouseMoved(70, 50, 2);
    RunFrame();
    // Ten pixels to the right: the view turns 0.1 rad to the right.
    const D3DXVECTOR3 look = camera->GetLookAt() - camera->GetPosition();
    EXPECT_NEAR(std::atan2(look.x, look.z), 0.1f, 1e-4f);
    EXPECT_NEAR(look.y, 0.0f, 1e-4f);
    input->ButtonUp(1);
    RunFrame();
    input->MouseMoved(90, 50, 0);
    RunFrame();
    const D3DXVECTOR3 after = camera->GetLookAt() - camera->GetPosition();
    EXPECT_NEAR(std::atan2(after.x, after.z), 0.1f, 1e-4f) << "the button is up: no more turning";
}

TEST(ObjectSelectedTriggerTest, HoldsWhileTheEditorHasASelection) {
    Control control("probe", Control::kCategoryNormal);
    auto* trigger = new ObjectSelectedTrigger();
    control.AddActivateTrigger(trigger);
    EXPECT_FALSE(trigger->IsTriggered());
    u32 id = 7;
    Message message = MakeMessage(kMsgSelectedObject, nullptr, 0, 0, id);
    trigger->HandleMessage(&message);
    EXPECT_TRUE(trigger->IsTriggered());
    std::unique_ptr<ControlTrigger> copy(trigger->Clone());
    EXPECT_TRUE(copy->IsTriggered());
    message.FreePayload();
    Message none = MakeMessage(kMsgSelectedObject, nullptr, 0, 0, 0u);
    trigger->HandleMessage(&none);
    EXPECT_FALSE(trigger->IsTriggered());
    none.FreePayload();
}
}  // namespace
