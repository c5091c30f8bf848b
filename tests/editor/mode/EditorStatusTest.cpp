// The status lines (camera name, position and speed, or the manipulation
// mode, as the panel's settings have it) and object copy and paste: Ctrl+C,
// Ctrl+V (clones where the copy is, children of its parent, with proxies)
// and Ctrl+T (rotation and scale only).
#include <cmath>

#include "editor/links/ParentObjectControl.h"
#include "editor/links/SplineBindControl.h"
#include "editor/menus/EditorMenuSystem.h"
#include "editor/menus/EditorUISystem.h"
#include "editor/mode/EditorNotice.h"
#include "game/actors/Player.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
#include "render/text/ScreenText.h"
#include "tests/editor/EditorKeysWorld.h"

namespace {
constexpr u32 kKeyC = 0x43, kKeyV = 0x56, kKeyT = 0x54, kKeyR = 0x52, kKeyO = 0x4F;

class EditorStatusTest : public EditorKeysFixture {
protected:
    void SetUp() override {
        EditorKeysFixture::SetUp();
        ui = editor->GetUISystem();
    }
    std::string Shown(u32 textObject) const {
        const ScreenText* text = Object(textObject)->GetComponent<ScreenText>();
        return text ? text->GetText() : "<no text>";
    }
    EditorUISystem* ui = nullptr;
};

TEST_F(EditorStatusTest, TheFirstLineNamesTheCameraItsPositionAndTheMultipliedSpeed) {
    SendToSystem(kMsgEditorCameraName, ui->GetTypeId(), 0, std::string("Isometric Camera"));
    SendToSystem(kMsgEditorCameraPosition, ui->GetTypeId(), 0, D3DXVECTOR3(1.5f, 2, -3));
    ui->Update(0.0f);
    EXPECT_EQ(Shown(ui->GetFirstTextObject()), "Isometric Camera, Position: [1.5, 2, -3], MoveSpeed: 1");
    ::Broadcast(kMsgCameraSpeed, 0, 10.0f);
    ::Broadcast(kMsgCameraSpeed, 0, 10.0f);
    ui->Update(0.0f);
    EXPECT_EQ(Shown(ui->GetFirstTextObject()), "Isometric Camera, Position: [1.5, 2, -3], MoveSpeed: 100");
    EXPECT_EQ(Shown(ui->GetSecondTextObject()), "");
}

TEST_F(EditorStatusTest, TheModeLineFollowsTheKeysAndThePanelsCheckboxes) {
    Tap(kKeyM);
    EXPECT_EQ(ui->FirstLine().find("MoveSpeed"), std::string::npos) << ui->FirstLine();
    EXPECT_EQ(Shown(ui->GetSecondTextObject()), "Moving object in absolute world coords");
    Tap(kKeyR);
    Tap(kKeyO);
    EXPECT_EQ(Shown(ui->GetSecondTextObject()), "Rotating object in absolute world coords");
    Tap(kKeyR);
    EXPECT_EQ(Shown(ui->GetSecondTextObject()), "Moving object in absolute world coords");
    EXPECT_TRUE(TwInspectWriteValue(TwInspectFindBar("MainMenu"), "ToggleRotate", "true"));
    RunFrame();
    RunFrame();  // the settings of a frame reach the lines by the next
    EXPECT_EQ(Shown(ui->GetSecondTextObject()), "Rotating object in absolute world coords") << "the panel's checkbox";
    Tap(kKeyM);
    EXPECT_EQ(Shown(ui->GetSecondTextObject()), "");
}

// A ship turned a quarter about y: after M, X and O the line and the D key
// agree on the world axes.
TEST_F(EditorStatusTest, TheModeLineNamesTheAxesTheKeysStepAlong) {
    const u32 ship = AddSceneObject({0, 0, 0});
    Object(ship)->GetComponent<Transform>()->rotation = {0, std::sqrt(0.5f), 0, std::sqrt(0.5f)};
    Select(ship);
    Tap(kKeyM);
    Tap(0x58);
    Tap(kKeyO);
    EXPECT_EQ(Shown(ui->GetSecondTextObject()), "Moving object in absolute world coords");
    Tap(kKeyD);
    ExpectNear(World(ship), {1, 0, 0});
}

// The next load puts a Player's ship on its circle and a bound carrier on
// its track: moving one, or making one, says so.
TEST_F(EditorStatusTest, MovingOrMakingWhatEveryLoadPlacesSaysWhatPlacesIt) {
    ObjectFactory& factory = *ObjectFactory::Instance();
    auto* path = factory.Create<PlayerPath>();
    path->wps = {Waypoint{{0, 0, 0}, {0, 0, 0, 1}}, Waypoint{{0, 0, 10}, {0, 0, 0, 1}}};
    const u32 track = AddSceneObject({0, 0, 0});
    Object(track)->AddComponent(path);
    Object(track)->SetArchetypeName("Track");
    const u32 carrier = AddSceneObject({0, 0, 5});
    auto* crawler = factory.Create<SplineCrawler>();
    crawler->splineGameObjectID = track;
    Object(carrier)->AddComponent(crawler);
    Object(carrier)->SetArchetypeName("Carrier");
    const u32 ship = AddSceneObject({0, 0, 5});
    Object(ship)->AddComponent(factory.Create<Player>());
    Object(ship)->SetArchetypeName("Ship");
    ObjectKeys();
    const auto label = [](const char* name, u32 id) {
        return std::string(name) + " (GUID " + std::to_string(id) + ")";
    };
    const std::pair<u32, std::string> placed[] = {
        {ship, "its Player, at (0, -50, 0)"},
        {carrier, "its SplineCrawler, on " + label("Track", track)},
    };
    for (const auto& [id, by] : placed) {
        Select(id);
        Tap(kKeyW);
        EXPECT_EQ(ui->NoticeLine(), "Move: " + label(id == ship ? "Ship" : "Carrier", id) +
                                        " goes back at the next load, placed by " + by);
    }

    const u32 rock = AddSceneObject({0, 0, 5});
    Object(rock)->SetArchetypeName("Rock");
    Select(rock);
    ::Broadcast(kMsgAddComponent, 0, std::string("Player"));
    EXPECT_EQ(ui->NoticeLine(),
              "Add: " + label("Rock", rock) +
                  " is placed by its Player, at (0, -50, 0) at every load, not where the editor puts it");
}

TEST_F(EditorStatusTest, TheLinesSitAboveTheMiddleOfTheClientHeight) {
    ::Broadcast(kMsgClientRect, 0, ClientRect{0, 0, 800, 600});
    EXPECT_EQ(Object(ui->GetFirstTextObject())->GetComponent<Transform>()->worldPosition.y, 280.0f);
    EXPECT_EQ(Object(ui->GetSecondTextObject())->GetComponent<Transform>()->worldPosition.y, 265.0f);
    EXPECT_EQ(Object(ui->GetFirstTextObject())->GetComponent<ScreenText>()->GetFontColor(), D3DXCOLOR(1, 0, 0, 1));
}

TEST_F(EditorStatusTest, PasteAddsClonesWhereTheCopyIsWithProxiesAndCopyNeedsASelection) {
    const u32 source = AddSceneObject({1, 2, 3});
    Object(source)->SetArchetypeName("Crate");
    Select(source);
    Tap(kKeyC, kLeftCtrl);
    Select(0);
    Tap(kKeyC, kLeftCtrl);
    EXPECT_EQ(ui->GetCopiedObject(), source) << "nothing selected keeps the copy";
    const size_t before = SceneManager::Instance()->GetObjectIds().size();
    Tap(kKeyV, kLeftCtrl);
    Tap(kKeyV, kRightCtrl);
    const std::vector<u32>& ids = SceneManager::Instance()->GetObjectIds();
    ASSERT_EQ(ids.size(), before + 2);
    for (u32 copy : {ids[before], ids[before + 1]}) {
        ExpectNear(World(copy), {1, 2, 3});
        EXPECT_EQ(Object(copy)->GetArchetypeName(), "Crate");
        EXPECT_NE(proxies->FindProxy(copy), 0u);
    }
    EXPECT_NE(ids[before], ids[before + 1]);
}

TEST_F(EditorStatusTest, APastedChildIsLinkedToItsParentBothWays) {
    const u32 parent = AddSceneObject({10, 0, 0});
    const u32 child = AddSceneObject({1, 0, 0});
    Object(child)->SetParent(parent);
    Select(child);
    Tap(kKeyC, kLeftCtrl);
    Tap(kKeyV, kLeftCtrl);
    const u32 copy = SceneManager::Instance()->GetObjectIds().back();
    EXPECT_EQ(Object(copy)->GetParent(), parent);
    const std::vector<u32>& children = Object(parent)->GetChildren();
    EXPECT_NE(std::find(children.begin(), children.end(), copy), children.end());
    ExpectNear(World(copy), World(child));
}

TEST_F(EditorStatusTest, PasteTransformCopiesRotationAndScaleOnlyAndNeedsTwoLiveObjects) {
    const u32 source = AddSceneObject({1, 2, 3});
    Transform* from = Object(source)->GetComponent<Transform>();
    from->rotation = {0, std::sqrt(0.5f), 0, std::sqrt(0.5f)};
    from->scale = 3.0f;
    const u32 target = AddSceneObject({7, 8, 9});
    Select(source);
    Tap(kKeyC, kLeftCtrl);
    Tap(kKeyT, kLeftCtrl);
    EXPECT_EQ(from->scale, 3.0f) << "onto itself";
    Select(target);
    Tap(kKeyT, kLeftCtrl);
    Transform* to = Object(target)->GetComponent<Transform>();
    EXPECT_EQ(to->scale, 3.0f);
    EXPECT_NEAR(to->rotation.y, std::sqrt(0.5f), 1e-6f);
    ExpectNear(World(target), {7, 8, 9});

    to->scale = 1.0f;
    Overlord::Instance()->UnregisterGameObject(source);
    EndFrame();
    const size_t before = SceneManager::Instance()->GetObjectIds().size();
    Tap(kKeyT, kLeftCtrl);
    Tap(kKeyV, kLeftCtrl);
    EXPECT_EQ(to->scale, 1.0f) << "the copy is gone";
    EXPECT_EQ(SceneManager::Instance()->GetObjectIds().size(), before);
}
TEST_F(EditorStatusTest, TheSpeedShownIsTheCamerasKeptWithinItsRange) {
    const u32 kNumpadPlus = 0x6B, kNumpadMinus = 0x6D;
    for (int i = 0; i < 4; ++i) Tap(kNumpadPlus);
    EXPECT_NE(Shown(ui->GetFirstTextObject()).find("MoveSpeed: 1000"), std::string::npos) << ui->FirstLine();
    for (int i = 0; i < 36; ++i) Tap(kNumpadPlus);
    EXPECT_NE(Shown(ui->GetFirstTextObject()).find("MoveSpeed: 1000"), std::string::npos) << ui->FirstLine();
    Tap(kNumpadMinus);
    EXPECT_NE(Shown(ui->GetFirstTextObject()).find("MoveSpeed: 100"), std::string::npos) << ui->FirstLine();
    EXPECT_EQ(Shown(ui->GetFirstTextObject()).find("MoveSpeed: 1000"), std::string::npos) << ui->FirstLine();
    for (int i = 0; i < 10; ++i) Tap(kNumpadMinus);
    EXPECT_NE(Shown(ui->GetFirstTextObject()).find("MoveSpeed: 0.001"), std::string::npos) << ui->FirstLine();
}

// The rows stand between the default bars' columns, at the two window sizes
// of a designer's screen, whatever the lines hold.
TEST_F(EditorStatusTest, TheStatusRowsKeepClearOfTheDefaultBars) {
    ASSERT_GT(ui->TextWidth("MoveSpeed"), 0.0f) << "the status font has glyphs";
    SendToSystem(kMsgEditorCameraName, ui->GetTypeId(), 0, std::string("Isometric Camera"));
    SendToSystem(kMsgEditorCameraPosition, ui->GetTypeId(), 0, D3DXVECTOR3(-12345.6f, -2345.67f, -34567.8f));
    for (int i = 0; i < 4; ++i) ::Broadcast(kMsgCameraSpeed, 0, 0.1f);
    ::Broadcast(kMsgEditorNotice, 0,
                std::string("Parent: refused, Asteroid_Large (GUID 123456) is above Ship_Carrier (GUID 123457)"));
    for (const auto& [width, height] : {std::pair{1024, 768}, std::pair{1280, 1024}}) {
        ::Broadcast(kMsgClientRect, 0, ClientRect{0, 0, width, height});
        ui->Update(0.0f);
        std::string all;
        for (u32 row : ui->GetRowTextObjects()) {
            const std::string text = Shown(row);
            if (text.empty()) continue;
            Transform* transform = Object(row)->GetComponent<Transform>();
            const float left = transform->worldPosition.x + width / 2.0f;
            EXPECT_GE(left, static_cast<float>(EditorMenuSystem::kLeftColumnWidth)) << width << ": " << text;
            EXPECT_LE(left + ui->TextWidth(text), static_cast<float>(width - EditorMenuSystem::kRightColumnWidth))
                << width << ": " << text;
            EXPECT_GT(transform->worldPosition.y, height / 2.0f - 120.0f) << "near the top";
            all += text.rfind("  ", 0) == 0 ? text.substr(2) : text;
        }
        EXPECT_NE(all.find(ui->FirstLine()), std::string::npos) << width << ": nothing cut off: " << all;
        EXPECT_NE(all.find(ui->NoticeLine()), std::string::npos) << width << ": " << all;
    }
}

// A notice posted while a modal box held the frame up (the frame's time is
// the box's) is still there to read after it.
TEST_F(EditorStatusTest, ANoticeOutlastsTheFrameAModalBoxHeldUp) {
    PostEditorNotice(0, "New Scene: cancelled; the scene is kept as it is");
    RunFrame(0.016f);
    RunFrame(40.0f);
    EXPECT_EQ(ui->NoticeLine(), "New Scene: cancelled; the scene is kept as it is");
    for (int i = 0; i < 6; ++i) RunFrame(1.0f);
    EXPECT_EQ(ui->NoticeLine(), "");
}

TEST_F(EditorStatusTest, SaveArchetypeWithNothingLeftToSaveSaysSoAndOpensNoDialog) {
    const u32 rock = AddSceneObject({0, 0, 10});
    Select(rock);
    ::Broadcast(kMsgPickObject, 0, rock);
    Tap(0x2E);  // Delete
    ASSERT_EQ(Object(rock), nullptr);
    EXPECT_TRUE(Entries("Selected").empty()) << "no button for a deleted object";
    FileDialogScriptAnswer(Path("arch/Rock.arch"));
    menu->SaveArchetypeAs();  // as a button left over would
    RunFrame();
    EXPECT_TRUE(FileDialogScriptRequests().empty()) << "no dialog";
    EXPECT_EQ(reports, std::vector<std::string>{"Save archetype failed: There is no object to save: nothing is "
                                                "selected. Select an object first."})
        << "a box, which takes the keys typed next";
    EXPECT_EQ(ui->NoticeLine(), "Save Archetype As...: nothing is selected; nothing written");
    EXPECT_FALSE(std::filesystem::exists(Path("arch/Rock.arch")));
}

// A sky box turned a quarter about y at (0, 0, 20) carries a rock at local
// (4, 3, 0), drawn at (0, 3, 16). Its "Delete Object" in SceneComponents
// deletes as Delete does: the rock stays where and as it is drawn, says so,
// and is saved so.
TEST_F(EditorStatusTest, SceneComponentsDeleteKeepsTheChildWhereAndAsItIsDrawn) {
    ::Broadcast(kMsgAddComponent, 0, std::string("Skybox"));
    const u32 sky = SceneManager::Instance()->GetObjectIds().back();
    Select(sky);
    ::Broadcast(kMsgAddComponent, 0, std::string("Transform"));
    Transform* frame = Object(sky)->GetComponent<Transform>();
    const D3DXQUATERNION quarter(0, std::sqrt(0.5f), 0, std::sqrt(0.5f));
    frame->position = {0, 0, 20};
    frame->rotation = quarter;
    frame->Update(0.0f);
    const u32 rock = AddSceneObject({4, 3, 0});
    ASSERT_TRUE(Object(rock)->SetParent(sky));  // as a load links it
    ExpectNear(World(rock), {0, 3, 16}, "drawn turned with the sky");
    Select(rock);
    ASSERT_TRUE(Press("SceneComponents", "Delete_" + std::to_string(sky)));
    RunFrame();
    ASSERT_EQ(Object(sky), nullptr);
    EXPECT_EQ(Object(rock)->GetParent(), 0u);
    ExpectNear(World(rock), {0, 3, 16}, "where it was drawn");
    EXPECT_NEAR(Object(rock)->GetComponent<Transform>()->rotation.y, quarter.y, 1e-5f) << "turned as it was drawn";
    EXPECT_EQ(ui->NoticeLine(), "Delete: Skybox (GUID " + std::to_string(sky) +
                                    ") deleted; its child stays where it is, without a parent");
    EXPECT_EQ(editor->GetSelectedObject(), rock) << "another object's deletion keeps the selection";
    const std::string saved = SceneManager::Instance()->WriteScene();
    EXPECT_EQ(saved.find("Parent ="), std::string::npos) << saved;
    EXPECT_NE(saved.find("y = 0.707107"), std::string::npos) << saved;
}

// A track's tunnel is a child its PlayerPath made: it goes with the track,
// and the notice says so rather than that a child stays.
TEST_F(EditorStatusTest, DeletingATrackSaysItsTunnelGoesWithIt) {
    auto* path = ObjectFactory::Instance()->Create<PlayerPath>();
    path->wps = {Waypoint{{0, 0, 0}, {0, 0, 0, 1}}, Waypoint{{0, 0, 40}, {0, 0, 0, 1}}};
    path->extrudeTunnelOverPath = true;
    path->frameDelta = 8;
    const u32 track = AddSceneObject({0, 0, 0});
    Object(track)->AddComponent(path);
    path->Init();
    ASSERT_EQ(path->tunnelObjectIds.size(), 1u);
    const u32 tunnel = path->tunnelObjectIds[0];
    Select(track);
    ::Broadcast(kMsgPickObject, 0, track);
    Tap(0x2E);  // Delete
    EXPECT_EQ(Object(tunnel), nullptr);
    EXPECT_EQ(ui->NoticeLine(), "Delete: PlayerPath (GUID " + std::to_string(track) + ") deleted, its tunnel with it");
}
// Deleting a track unbinds the carriers that ride it, and says so: the save
// links nothing to the deleted track, and its bytes are what a load and a
// save of it write (a -0 in the carrier's rotation included).
TEST_F(EditorStatusTest, DeletingATrackUnbindsItsCarrierSaysSoAndSavesNoLinkToIt) {
    auto* path = ObjectFactory::Instance()->Create<PlayerPath>();
    path->wps = {Waypoint{{0, 0, 0}, {0, 0, 0, 1}}, Waypoint{{0, 0, 40}, {0, 0, 0, 1}}};
    const u32 track = AddSceneObject({0, 0, 0});
    Object(track)->AddComponent(path);
    path->Init();
    const u32 carrier = AddSceneObject({0, 5, 0});
    auto* crawler = ObjectFactory::Instance()->Create<SplineCrawler>();
    Object(carrier)->AddComponent(crawler);
    ASSERT_TRUE(SplineBindControl::Bind(carrier, track));
    const u32 rock = AddSceneObject({5, 0, 10});
    ASSERT_TRUE(ParentObjectControl::MakeChild(track, rock));
    Select(track);
    ::Broadcast(kMsgPickObject, 0, track);
    Tap(0x2E);  // Delete
    ASSERT_EQ(Object(track), nullptr);
    EXPECT_EQ(crawler->splineGameObjectID, 0u);
    EXPECT_EQ(ui->NoticeLine(), "Delete: PlayerPath (GUID " + std::to_string(track) +
                                    ") deleted; its child stays where it is, without a parent; its carrier "
                                    "SplineCrawler (GUID " +
                                    std::to_string(carrier) + ") is bound to no track");
    Object(carrier)->GetComponent<Transform>()->rotation.z = -0.0f;

    SceneManager& scene = *SceneManager::Instance();
    ASSERT_TRUE(scene.SaveScene(Path("scene/NoTrack.scn")));
    const std::string saved = Read(Path("scene/NoTrack.scn"));
    EXPECT_EQ(saved.find("{ SplineCrawler = "), std::string::npos) << saved;
    EXPECT_EQ(saved.find("= -0,"), std::string::npos) << saved;
    ASSERT_TRUE(scene.LoadScene(Path("scene/NoTrack.scn")));
    ASSERT_TRUE(scene.SaveScene(Path("scene/Again.scn")));
    EXPECT_EQ(Read(Path("scene/Again.scn")), saved);
}
}  // namespace
