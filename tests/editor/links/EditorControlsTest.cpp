// The click-and-key object controls through the real bindings: parenting
// (P + click, U), binding a crawler to a track (B + click), the multi-clone
// row (Ctrl+E) and the vertex snap (Ctrl+B), with a view straight down +z
// from the origin over a 100 x 100 client area.
#include <cmath>

#include "editor/links/MultiCloneControl.h"
#include "editor/links/ParentObjectControl.h"
#include "editor/links/SplineBindControl.h"
#include "editor/menus/EditorUISystem.h"
#include "editor/move/VertexSnapControl.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
#include "render/mesh/Model.h"
#include "render/mesh/ModelCacheEntry.h"
#include "render/mesh/ModelCpuMesh.h"
#include "render/text/ScreenText.h"
#include "tests/editor/EditorKeysWorld.h"

namespace {
constexpr u32 kKeyP = 0x50, kKeyU = 0x55, kKeyB = 0x42, kKeyE = 0x45;

// A cube of side 1 about the origin, as a loaded model file's mesh data.
const ModelCacheEntry& CubeEntry() {
    static ModelCacheEntry entry = [] {
        ModelCacheEntry made;
        made.cpuMesh = std::make_unique<ModelCpuMesh>();
        for (int i = 0; i < 8; ++i) {
            ModelVertex vertex{};
            vertex.position = {i & 1 ? 0.5f : -0.5f, i & 2 ? 0.5f : -0.5f, i & 4 ? 0.5f : -0.5f};
            made.cpuMesh->vertices.push_back(vertex);
        }
        made.cpuMesh->indices = {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 1, 5, 0, 5, 4,
                                 2, 6, 7, 2, 7, 3, 0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5};
        return made;
    }();
    return entry;
}

class EditorControlsTest : public EditorKeysFixture {
protected:
    void SetUp() override {
        EditorKeysFixture::SetUp();
        D3DXMatrixIdentity(&identity_);
        ::Broadcast(kMsgClientRect, 0, ClientRect{0, 0, 100, 100});
        const D3DXMATRIX* matrix = &identity_;
        ::Broadcast(kMsgViewMatrix, 0, matrix);
        ::Broadcast(kMsgProjectionMatrix, 0, matrix);
    }
    // A scene object with a cube model (half-size 0.5) and its proxy.
    u32 AddCube(const D3DXVECTOR3& position, float scale = 1.0f) {
        const u32 id = AddSceneObject(position);
        Object(id)->GetComponent<Transform>()->scale = scale;
        auto* model = ObjectFactory::Instance()->Create<Model>();
        model->extent = {0.5f, 0.5f, 0.5f};
        model->cacheEntry = &CubeEntry();
        Object(id)->AddComponent(model);
        proxies->CreateProxy(*Object(id));
        return id;
    }
    // A track with its marker: from (0, 0, 10) to `end` (in its own space).
    u32 AddTrack(const D3DXVECTOR3& end = {0, 0, 10}) {
        auto* path = ObjectFactory::Instance()->Create<PlayerPath>();
        path->wps = {Waypoint{{0, 0, 0}, {0, 0, 0, 1}}, Waypoint{end, {0, 0, 0, 1}}};
        const u32 track = AddSceneObject({0, 0, 10});
        Object(track)->AddComponent(path);
        proxies->CreateProxy(*Object(track));
        return track;
    }
    // A carrier (an object with a SplineCrawler) with its marker.
    u32 AddCarrier(const D3DXVECTOR3& position) {
        const u32 carrier = AddSceneObject(position);
        Object(carrier)->AddComponent(ObjectFactory::Instance()->Create<SplineCrawler>());
        proxies->CreateProxy(*Object(carrier));
        return carrier;
    }
    // Ctrl+E with the source selected and the pointer looking up (its ray
    // misses the plane): the running multi-clone, or null.
    MultiCloneControl* StartClone(u32 source) {
        SelectWithProxy(source);
        MoveMouse(50, 10);
        Tap(kKeyE, kLeftCtrl);
        auto* clone = static_cast<MultiCloneControl*>(FindControl("MultiCloneControl"));
        return clone && clone->IsActive() ? clone : nullptr;
    }
    void SelectWithProxy(u32 id) {
        Select(id);
        editor->SetPickedObject(proxies->FindProxy(id));
        RunFrame();
    }
    void MoveMouse(int x, int y, u32 buttons = 0) {
        input->MouseMoved(x, y, buttons);
        RunFrame();
    }
    // A click at (x, y) with the key held.
    void ClickWith(u32 key, int x, int y) {
        MoveMouse(x, y);
        input->KeyPressed(key);
        input->ButtonDown(0, x, y);
        RunFrame();
        input->ButtonUp(0);
        RunFrame();
        input->KeyReleased(key);
        RunFrame();
    }
    // What the status lines show, rows run together (a wrapped line's
    // continuation without its indent).
    std::string Status() const {
        std::string shown;
        for (u32 row : editor->GetUISystem()->GetRowTextObjects()) {
            const ScreenText* text = Object(row)->GetComponent<ScreenText>();
            std::string line = text ? text->GetText() : "";
            if (line.rfind("  ", 0) == 0) line.erase(0, 2);
            shown += line;
        }
        return shown;
    }
    static std::string Label(const std::string& name, u32 id) { return name + " (GUID " + std::to_string(id) + ")"; }
    Control* FindControl(const std::string& name) const {
        for (u32 category = 0; category < GuiSystem::kCategoryCount; ++category)
            for (Control* control : gui->GetControls(category))
                if (control && name == control->GetName()) return control;
        return nullptr;
    }
    D3DXMATRIX identity_;
};

TEST_F(EditorControlsTest, PClickMakesTheClickedObjectAChildWhereItIsAndLeavesTheSelection) {
    const u32 parent = AddCube({5, 0, 10});
    Transform* parentTransform = Object(parent)->GetComponent<Transform>();
    parentTransform->rotation = {0, std::sqrt(0.5f), 0, std::sqrt(0.5f)};
    parentTransform->scale = 2.0f;
    const u32 child = AddCube({0, 0, 10});
    SelectWithProxy(parent);
    ClickWith(kKeyP, 50, 50);
    EXPECT_EQ(Object(child)->GetParent(), parent);
    ExpectNear(World(child), {0, 0, 10});
    EXPECT_EQ(editor->GetSelectedObject(), parent) << "the click did not select";

    Select(child);
    EXPECT_FALSE(ParentObjectControl::MakeChild(child, parent)) << "onto its descendant";
    EXPECT_FALSE(ParentObjectControl::MakeChild(child, child)) << "onto itself";
    EXPECT_FALSE(ParentObjectControl::MakeChild(child, 0)) << "nothing picked";
    EXPECT_EQ(Object(parent)->GetParent(), 0u);
    ClickWith(kKeyP, 75, 50);  // the parent, clicked with its child selected
    EXPECT_EQ(Object(parent)->GetParent(), 0u);
    ExpectNear(World(parent), {5, 0, 10});

    Tap(kKeyU);
    EXPECT_EQ(Object(child)->GetParent(), 0u);
    EXPECT_EQ(Object(child)->GetComponent<Transform>()->GetParentId(), 0u);
    ExpectNear(World(child), {0, 0, 10});
    EXPECT_NEAR(Object(child)->GetComponent<Transform>()->scale, 1.0f, 1e-5f);
}

TEST_F(EditorControlsTest, AProxyClickedWithPStandsForItsObject) {
    const u32 parent = AddSceneObject({3, 0, 0});
    const u32 child = AddSceneObject({0, 0, 10});
    const u32 marker = proxies->CreateProxy(*Object(child));
    EXPECT_TRUE(ParentObjectControl::MakeChild(parent, marker));
    EXPECT_EQ(Object(child)->GetParent(), parent);
    EXPECT_EQ(Object(marker)->GetParent(), child) << "the marker stays its object's";
}

TEST_F(EditorControlsTest, BClickOnATrackMarkerBindsTheSelectedCrawler) {
    const u32 track = AddTrack();
    const u32 crawlerObject = AddCarrier({30, 0, 10});
    const auto* crawler = Object(crawlerObject)->GetComponent<SplineCrawler>();
    const u32 plain = AddSceneObject({-30, 0, 10});
    proxies->CreateProxy(*Object(plain));
    SelectWithProxy(crawlerObject);
    ClickWith(kKeyB, 50, 50);
    EXPECT_EQ(crawler->splineGameObjectID, track);
    EXPECT_EQ(editor->GetSelectedObject(), crawlerObject);
    EXPECT_FALSE(SplineBindControl::Bind(plain, track)) << "no crawler";
    EXPECT_FALSE(SplineBindControl::Bind(crawlerObject, plain)) << "no track";
}

// A load puts a bound carrier on its track: B + click puts it there at once
// and says so, so that the first save is what a load and a save of it write.
TEST_F(EditorControlsTest, BClickPlacesTheCarrierWhereTheLoadWillSoTheFirstSaveIsWhatAReloadWrites) {
    const u32 track = AddTrack({1, 0, 10});
    const u32 carrier = AddCarrier({0, 10, 3.81f});
    SelectWithProxy(carrier);
    ClickWith(kKeyB, 50, 50);
    ExpectNear(World(carrier), {0, 0, 10}, "the track's start");
    EXPECT_NE(Status().find("Bind: " + Label("SplineCrawler", carrier) + " now runs on " + Label("PlayerPath", track) +
                            ", placed at (0, 0, 10) by its SplineCrawler (its distance along the track), as every "
                            "load places it"),
              std::string::npos)
        << Status();

    SceneManager& scene = *SceneManager::Instance();
    ASSERT_TRUE(scene.SaveScene(Path("scene/Bound.scn")));
    ASSERT_TRUE(scene.LoadScene(Path("scene/Bound.scn")));
    ASSERT_TRUE(scene.SaveScene(Path("scene/Again.scn")));
    EXPECT_EQ(Read(Path("scene/Again.scn")), Read(Path("scene/Bound.scn")));
}

// Rows typed into a track's waypoints rebuild nothing until "Force Update";
// B + click builds the track from them before it places the carrier, so the
// carrier stands on the typed track, as the notice and every load say.
TEST_F(EditorControlsTest, BClickPlacesTheCarrierOnWaypointsTypedIntoTheTracksRows) {
    const u32 track = AddSceneObject({0, 0, 10});
    auto* path = ObjectFactory::Instance()->Create<PlayerPath>();
    Object(track)->AddComponent(path);
    proxies->CreateProxy(*Object(track));
    Select(track);
    for (int i = 0; i < 8; ++i) ::Broadcast(kMsgAddWaypoint, 0);  // all at one spot: no curve
    ASSERT_EQ(path->wps.size(), 8u);
    for (size_t i = 0; i < 8; ++i) path->wps[i].pos.z = 100.0f * static_cast<float>(i);  // the typed rows
    RunFrame();
    const u32 carrier = AddCarrier({0, 10, 3.81f});
    SelectWithProxy(carrier);
    ClickWith(kKeyB, 50, 50);
    ASSERT_EQ(Object(carrier)->GetComponent<SplineCrawler>()->splineGameObjectID, track);
    ExpectNear(World(carrier), {0, 0, 10}, "the typed track's start");
    EXPECT_NEAR(path->spline.GetTotalLength(), 700.0f, 0.01f);
    EXPECT_NE(Status().find(", placed at (0, 0, 10) by its SplineCrawler"), std::string::npos) << Status();

    SceneManager& scene = *SceneManager::Instance();
    ASSERT_TRUE(scene.SaveScene(Path("scene/Typed.scn")));
    ASSERT_TRUE(scene.LoadScene(Path("scene/Typed.scn")));
    ASSERT_TRUE(scene.SaveScene(Path("scene/Again.scn")));
    EXPECT_EQ(Read(Path("scene/Again.scn")), Read(Path("scene/Typed.scn")));

    // A track with no curve at all places nothing, and the notice says so.
    const u32 flat = AddTrack({0, 0, 0});
    const u32 other = AddCarrier({0, 10, 3.81f});
    std::string notice;
    ASSERT_TRUE(SplineBindControl::Bind(other, flat, &notice));
    ExpectNear(World(other), {0, 10, 3.81f}, "not moved");
    EXPECT_NE(notice.find(", not placed: the track has no point at its distance"), std::string::npos) << notice;
}

TEST_F(EditorControlsTest, MultiCloneFollowsTheReachAndCommitsWhatIsLeftOnRelease) {
    const u32 source = AddCube({0, -1, 0});
    Object(source)->GetComponent<Model>()->extent = {1, 1, 1};
    MultiCloneControl* clone = StartClone(source);
    ASSERT_NE(clone, nullptr);
    clone->Reach({0, -1, 7});
    ASSERT_EQ(clone->GetCopies().size(), 3u);
    for (size_t i = 0; i < 3; ++i) ExpectNear(World(clone->GetCopies()[i]), {0, -1, 2.0f * (i + 1)});
    clone->Reach({0, -1, 3});
    ASSERT_EQ(clone->GetCopies().size(), 1u);
    const u32 kept = clone->GetCopies()[0];
    const size_t before = SceneManager::Instance()->GetObjectIds().size();
    input->ButtonDown(0, 50, 10);
    RunFrame();
    input->ButtonUp(0);
    RunFrame();
    EXPECT_FALSE(clone->IsActive());
    EXPECT_EQ(SceneManager::Instance()->GetObjectIds().size(), before + 1);
    EXPECT_EQ(SceneManager::Instance()->GetObjectIds().back(), kept);
    EXPECT_NE(proxies->FindProxy(kept), 0u);
}

TEST_F(EditorControlsTest, MultiCloneStepsByTheSizeTurnedByTheInverseRotation) {
    // conj(r) (1, 1, 3) r for a turn about y: +90 degrees gives (-3, 1, 1)
    // and copies 2 apart toward +z, -90 degrees (3, 1, -1) and toward -z.
    const struct {
        float degrees;
        float spacing;
    } cases[] = {{0.0f, 6.0f}, {90.0f, 2.0f}, {-90.0f, -2.0f}};
    const D3DXVECTOR3 up(0, 1, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.degrees);
        const u32 source = AddCube({0, -1, 0});
        Object(source)->GetComponent<Model>()->extent = {1, 1, 3};
        D3DXQuaternionRotationAxis(&Object(source)->GetComponent<Transform>()->rotation, &up, c.degrees * 0.017453292f);
        MultiCloneControl* clone = StartClone(source);
        ASSERT_NE(clone, nullptr);
        clone->Reach({0, -1, 7});
        const size_t count = static_cast<size_t>(7.0f / std::fabs(c.spacing));
        ASSERT_EQ(clone->GetCopies().size(), count);
        for (size_t i = 0; i < count; ++i)
            ExpectNear(World(clone->GetCopies()[i]), {0, -1, c.spacing * static_cast<float>(i + 1)});
        input->ButtonDown(0, 50, 10);
        RunFrame();
        input->ButtonUp(0);
        RunFrame();
    }
}

TEST_F(EditorControlsTest, AGrazingReachMakesAtMostTheCap) {
    MultiCloneControl* clone = StartClone(AddCube({0, -1, 0}));
    ASSERT_NE(clone, nullptr);
    clone->Reach({0, -1, 1e7f});
    EXPECT_EQ(clone->GetCopies().size(), MultiCloneControl::kMaxCopies);
}

TEST_F(EditorControlsTest, CtrlBSnapsVertexToVertexOnceAndEscapeCancels) {
    const u32 moving = AddCube({0, 0, 10}, 2.0f);
    const u32 fixed = AddCube({5, 0, 10}, 2.0f);
    auto drag = [&](bool escape) {
        input->KeyPressed(kCtrl);
        input->KeyPressed(kKeyB);
        MoveMouse(54, 46);
        input->ButtonDown(0, 54, 46);
        RunFrame();
        if (escape) {
            input->KeyPressed(0x1B);
            RunFrame();
            input->KeyReleased(0x1B);
        }
        MoveMouse(75, 54, 1);
        input->ButtonUp(0);
        RunFrame();
        input->KeyReleased(kKeyB);
        input->KeyReleased(kCtrl);
        RunFrame();
    };
    drag(true);
    ExpectNear(World(moving), {0, 0, 10}, "cancelled");
    drag(false);
    // The corner (1, 1, 9) of the first cube now sits on (4, -1, 9) of the second.
    ExpectNear(World(moving), {3, -2, 10});
    ExpectNear(World(fixed), {5, 0, 10});
}

TEST_F(EditorControlsTest, VertexUnderTheRayIsTheNearestCornerOfTheHitTriangle) {
    const u32 cube = AddCube({0, 0, 10}, 2.0f);
    const VertexSnapControl::SnapPoint hit = VertexSnapControl::FindVertex(cube, Ray{{0.9f, 0.9f, 0}, {0, 0, 1}});
    ASSERT_GE(hit.vertex, 0);
    ExpectNear(hit.position, {0.5f, 0.5f, -0.5f}, "model space, unscaled");
    EXPECT_EQ(VertexSnapControl::FindVertex(cube, Ray{{9, 9, 0}, {0, 0, 1}}).vertex, -1) << "a miss";
    const u32 bare = AddSceneObject({0, 0, 5});
    EXPECT_EQ(VertexSnapControl::FindVertex(bare, Ray{{0, 0, 0}, {0, 0, 1}}).vertex, -1) << "no mesh";
}
TEST_F(EditorControlsTest, PAndUSayOnTheStatusLinesWhatTheyDidOrWhyNot) {
    const u32 parent = AddCube({5, 0, 10});
    const u32 child = AddCube({0, 0, 10});
    Object(parent)->SetArchetypeName("Ship");
    Object(child)->SetArchetypeName("Gun");
    const std::string ship = Label("Ship", parent), gun = Label("Gun", child);
    ClickWith(kKeyP, 50, 50);
    EXPECT_NE(Status().find("Parent: nothing selected"), std::string::npos) << Status();
    Tap(kKeyU);
    EXPECT_NE(Status().find("Unparent: nothing selected"), std::string::npos) << Status();
    SelectWithProxy(parent);
    ClickWith(kKeyP, 50, 90);
    EXPECT_NE(Status().find("Parent: no object under the pointer; nothing parented"), std::string::npos) << Status();
    ClickWith(kKeyP, 50, 50);
    EXPECT_EQ(Object(child)->GetParent(), parent);
    EXPECT_NE(Status().find("Parent: " + gun + " is now a child of " + ship), std::string::npos) << Status();
    ClickWith(kKeyP, 50, 50);
    EXPECT_NE(Status().find("Parent: " + gun + " already is a child of " + ship), std::string::npos) << Status();
    Tap(kKeyU);
    EXPECT_NE(Status().find("Unparent: " + ship + " has no parent"), std::string::npos) << Status();
    Select(child);
    Tap(kKeyU);
    EXPECT_EQ(Object(child)->GetParent(), 0u);
    EXPECT_NE(Status().find("Unparent: " + gun + " left " + ship), std::string::npos) << Status();
}

// At a slow frame rate P is often let go in the frame the click ends: the
// link is still made, and a click on nothing still says so.
TEST_F(EditorControlsTest, PLetGoInTheFrameItsClickEndsStillParents) {
    const u32 parent = AddCube({5, 0, 10});
    const u32 child = AddCube({0, 0, 10});
    SelectWithProxy(parent);
    const auto quickClick = [&](int x, int y) {
        MoveMouse(x, y);
        input->KeyPressed(kKeyP);
        input->ButtonDown(0, x, y);
        RunFrame(0.7f);
        input->ButtonUp(0);
        input->KeyReleased(kKeyP);
        RunFrame(0.7f);
    };
    quickClick(50, 90);
    EXPECT_NE(Status().find("Parent: no object under the pointer; nothing parented"), std::string::npos) << Status();
    quickClick(50, 50);
    EXPECT_EQ(Object(child)->GetParent(), parent);
}

// Delete a parent: its child keeps the place it is drawn at, as an object
// of its own, so that no saved link names the deleted object.
TEST_F(EditorControlsTest, DeletingAParentLeavesItsChildWhereItIsDrawnAndSaysSo) {
    const u32 ship = AddCube({0, 0, 20});
    Object(ship)->SetArchetypeName("Ship");
    const u32 child = AddSceneObject({0, 6, 20});
    ASSERT_TRUE(ParentObjectControl::MakeChild(ship, child));
    ExpectNear(Object(child)->GetComponent<Transform>()->position, {0, 6, 0}, "local to the ship");
    SelectWithProxy(ship);
    Tap(0x2E);  // Delete
    ASSERT_EQ(Object(ship), nullptr);
    EXPECT_EQ(Object(child)->GetParent(), 0u);
    ExpectNear(Object(child)->GetComponent<Transform>()->position, {0, 6, 20}, "its world place, now its own");
    EXPECT_NE(
        Status().find("Delete: " + Label("Ship", ship) + " deleted; its child stays where it is, without a parent"),
        std::string::npos)
        << Status();
}

// A TimeLord or DistanceLord has no Transform: a child under it would no
// longer follow anything.
TEST_F(EditorControlsTest, PClickRefusesAParentWithoutATransformAndSaysSo) {
    const u32 child = AddCube({0, 0, 10});
    GameObject* lord = ObjectFactory::Instance()->NewGameObject();
    lord->AddComponent(ObjectFactory::Instance()->GetPrototype("TimeLord")->Clone());
    SceneManager::Instance()->GetObjectIds().push_back(lord->GetId());
    proxies->CreateProxy(*lord);
    SelectWithProxy(lord->GetId());
    ClickWith(kKeyP, 50, 50);
    EXPECT_EQ(Object(child)->GetParent(), 0u);
    EXPECT_NE(Status().find("Parent: refused, " + Label("TimeLord", lord->GetId()) +
                            " has no Transform for a child to follow"),
              std::string::npos)
        << Status();
}

// Nor does an object without a Transform follow a parent: P + click on a
// TimeLord's marker with a rock selected links nothing.
TEST_F(EditorControlsTest, PClickRefusesAChildWithoutATransformAndSaysSo) {
    const u32 rock = AddCube({30, 0, 10});
    Object(rock)->SetArchetypeName("Rock");
    GameObject* lord = ObjectFactory::Instance()->NewGameObject();
    lord->AddComponent(ObjectFactory::Instance()->GetPrototype("TimeLord")->Clone());
    SceneManager::Instance()->GetObjectIds().push_back(lord->GetId());
    proxies->CreateProxy(*lord);  // at the origin: the eye steps back 10 to see it
    D3DXMATRIX back;
    D3DXMatrixTranslation(&back, 0, 0, 10);
    const D3DXMATRIX* view = &back;
    ::Broadcast(kMsgViewMatrix, 0, view);
    SelectWithProxy(rock);
    ClickWith(kKeyP, 50, 50);
    EXPECT_EQ(lord->GetParent(), 0u);
    EXPECT_TRUE(Object(rock)->GetChildren().empty());
    EXPECT_NE(Status().find("Parent: refused, " + Label("TimeLord", lord->GetId()) + " has no Transform to follow " +
                            Label("Rock", rock)),
              std::string::npos)
        << Status();
}

TEST_F(EditorControlsTest, PClickParentsTheObjectUnderThePointerNotANearerMarker) {
    const u32 parent = AddCube({5, 0, 10});
    const u32 child = AddCube({0, 0, 10});
    // A camera object made in front of the eye: its marker's bounding sphere
    // reaches the ray, the marker itself does not.
    const u32 camera = AddSceneObject({1.5f, 0, 8});
    proxies->CreateProxy(*Object(camera));
    SelectWithProxy(parent);
    ClickWith(kKeyP, 50, 50);
    EXPECT_EQ(Object(child)->GetParent(), parent);
    EXPECT_EQ(Object(camera)->GetParent(), 0u);
}

TEST_F(EditorControlsTest, BSaysWhyItBoundNothing) {
    const u32 track = AddTrack();
    const u32 rock = AddCube({0, 5, 10});
    Object(rock)->SetArchetypeName("Rock");
    const u32 carrier = AddCarrier({30, 0, 10});
    const auto* crawler = Object(carrier)->GetComponent<SplineCrawler>();
    ClickWith(kKeyB, 50, 50);
    EXPECT_NE(Status().find("Bind: nothing selected"), std::string::npos) << Status();
    SelectWithProxy(rock);
    ClickWith(kKeyB, 50, 50);
    EXPECT_NE(Status().find("Bind: " + Label("Rock", rock) + " has no SplineCrawler"), std::string::npos) << Status();
    SelectWithProxy(carrier);
    ClickWith(kKeyB, 50, 90);
    EXPECT_NE(Status().find("Bind: no track under the pointer"), std::string::npos) << Status();
    ClickWith(kKeyB, 50, 25);
    EXPECT_NE(Status().find("Bind: " + Label("Rock", rock) + " is not a track"), std::string::npos) << Status();
    EXPECT_EQ(crawler->splineGameObjectID, 0u);
    ClickWith(kKeyB, 50, 50);
    EXPECT_EQ(crawler->splineGameObjectID, track);
    EXPECT_NE(Status().find("Bind: " + Label("SplineCrawler", carrier) + " now runs on " + Label("PlayerPath", track)),
              std::string::npos)
        << Status();
}

TEST_F(EditorControlsTest, CtrlBSaysWhereItsVerticesAreMissing) {
    const u32 moving = AddCube({0, 0, 10}, 2.0f);
    const u32 fixed = AddCube({5, 0, 10}, 2.0f);
    Object(moving)->SetArchetypeName("Crate");
    Object(fixed)->SetArchetypeName("Wall");
    const std::string crate = Label("Crate", moving);
    // The pointer over (x, y), the pick settled.
    auto point = [&](int x, int y, u32 buttons) {
        MoveMouse(x, y, buttons);
        RunFrame();
    };
    input->KeyPressed(kCtrl);
    input->KeyPressed(kKeyB);
    point(50, 95, 0);
    EXPECT_NE(Status().find("Snap: press on a vertex"), std::string::npos) << Status();
    input->ButtonDown(0, 50, 95);
    RunFrame();
    EXPECT_NE(Status().find("Snap: no object under the pointer; press on a vertex"), std::string::npos) << Status();
    point(54, 46, 1);
    EXPECT_NE(Status().find("Snap: took a vertex of " + crate), std::string::npos) << Status();
    input->ButtonUp(0);
    RunFrame();
    EXPECT_NE(Status().find("Snap: that vertex is on " + crate + " itself"), std::string::npos) << Status();
    point(50, 95, 0);
    EXPECT_NE(Status().find("Snap: no object under the pointer; move over a vertex of another object"),
              std::string::npos)
        << Status();
    ExpectNear(World(moving), {0, 0, 10}, "not yet");
    point(75, 54, 0);
    EXPECT_NE(Status().find("Snap: moved " + crate + " onto a vertex of " + Label("Wall", fixed)), std::string::npos)
        << Status();
    ExpectNear(World(moving), {3, -2, 10});
    input->KeyReleased(kKeyB);
    input->KeyReleased(kCtrl);
    RunFrame();
}
}  // namespace
