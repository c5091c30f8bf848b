// Entering and leaving edit mode, and the Editor's commands: selection,
// deletion and components added by class name.
#include <algorithm>

#include "editor/mode/FocusPoint.h"
#include "game/scene/GameLogic.h"
#include "platform/AudioSystem.h"
#include "render/camera/Camera.h"
#include "render/light/GlobalLighting.h"
#include "render/light/PointLight.h"
#include "render/mesh/Model.h"
#include "tests/editor/EditorTestWorld.h"

namespace {
class EditorModeTest : public EditorFixture {};

std::vector<ISystem*> GameSystems(Engine* engine) {
    std::vector<ISystem*> systems;
    for (u32 typeId : {TypeId<Physics>::Get(), TypeId<GameLogic>::Get(), TypeId<BehaviorSystem>::Get(),
                       TypeId<AudioSystem>::Get(), TypeId<PauseMenu>::Get()})
        if (ISystem* system = engine->GetSystem(typeId)) systems.push_back(system);
    return systems;
}

TEST_F(EditorModeTest, TheGamesCursorPictureIsNotDrawnInEditMode) {
    const u32 cursor = AddSceneObject({0, 0, 0});
    const u32 other = AddSceneObject({1, 0, 0});
    ::Broadcast(kMsgOverlayObject, 0, cursor);
    auto drawThisFrame = [&](u32 id) {
        SendToSystem(DrawThisFrame(TypeId<Model>::Get()), TypeId<GraphicsSystem>::Get(), 0, id);
    };
    std::vector<u32>& drawn = graphics->GetLists().frameModels;
    Enter();
    drawn.clear();
    drawThisFrame(cursor);  // the cursor's control asks every frame
    drawThisFrame(other);
    editor->Update(0.0f);
    EXPECT_EQ(drawn, std::vector<u32>{other});
}

TEST_F(EditorModeTest, ActivateTakesOverAndDeactivateGivesEverythingBack) {
    const std::deque<u32> camerasBefore = {graphics->GetActiveCameraId()};
    ASSERT_EQ(GameSystems(engine).size(), 5u);
    for (ISystem* system : GameSystems(engine)) system->SetActive(true);

    Enter();
    for (ISystem* system : GameSystems(engine)) EXPECT_FALSE(system->IsActive()) << system->GetName();
    EXPECT_EQ(SceneManager::Instance()->GetOwner(), editor);
    EXPECT_NE(editor->GetFreeRoamCamera(), 0u);
    EXPECT_EQ(graphics->GetActiveCameraId(), editor->GetFreeRoamCamera());
    EXPECT_TRUE(gui->IsGroupEnabled(1));
    EXPECT_FALSE(gui->IsGroupEnabled(2));
    ASSERT_FALSE(editor->GetControlIds().empty());
    for (u32 id : editor->GetControlIds()) EXPECT_NE(gui->FindControl(id), nullptr);

    editor->Deactivate();
    EndFrame();
    for (ISystem* system : GameSystems(engine)) EXPECT_TRUE(system->IsActive()) << system->GetName();
    EXPECT_EQ(graphics->GetActiveCameraId(), camerasBefore.front());
    for (u32 id : editor->GetControlIds()) EXPECT_EQ(gui->FindControl(id), nullptr);
    EXPECT_TRUE(TwInspectBarNames().empty());
    for (TwBar* bar : {menu->GetSelectedBar(), menu->GetArchetypesBar(), menu->GetMainMenuBar(),
                       menu->GetComponentsBar(), menu->GetSceneComponentsBar()})
        EXPECT_EQ(bar, nullptr);
}

TEST_F(EditorModeTest, TheLevelsCameraLeavesTheStackWhenTheEditorTakesOverAndComesBackAfter) {
    auto* logic = engine->GetSystem<GameLogic>();
    ASSERT_NE(logic, nullptr);
    Write(Path("scene/Camera.scn"),
          "Archetypes = {\n\t\"\",\n}\n\nInstances = {\n"
          "\t{SceneGUID = 1000, Transform = {}, Camera = {}, },\n}\n");
    SceneManager::Instance()->SetOwner(logic);
    ASSERT_TRUE(SceneManager::Instance()->LoadScene(Path("scene/Camera.scn")));
    const u32 levelCamera = logic->GetLevelCameraId();
    ASSERT_NE(levelCamera, 0u);
    ASSERT_EQ(graphics->GetActiveCameraId(), levelCamera);
    const std::deque<u32> below(graphics->GetLists().cameras.Ids().begin(),
                                graphics->GetLists().cameras.Ids().end() - 1);

    Enter();
    EXPECT_EQ(logic->GetLevelCameraId(), 0u);
    std::deque<u32> editing = below;
    editing.push_back(editor->GetFreeRoamCamera());
    EXPECT_EQ(graphics->GetLists().cameras.Ids(), editing) << "the editor's camera over what lay below the level's";

    editor->Deactivate();
    EndFrame();
    EXPECT_NE(logic->GetLevelCameraId(), 0u) << "the level loaded again under the game";
    EXPECT_EQ(graphics->GetActiveCameraId(), logic->GetLevelCameraId());
    EXPECT_EQ(graphics->GetLists().cameras.Ids().size(), below.size() + 1);
}

TEST_F(EditorModeTest, SelectionRebuildsOnceAnnouncesEveryChangeAndZeroClearsThePick) {
    const u32 object = AddSceneObject({1, 2, 3});
    Enter();
    recorder->Listen(kMsgSelectObject);
    recorder->Listen(kMsgPickObject);
    ::Broadcast(kMsgSelectObject, 0, object);
    TwAddButton(menu->GetSelectedBar(), "marker", nullptr, nullptr, nullptr);
    ::Broadcast(kMsgSelectObject, 0, object);
    EXPECT_EQ(Entries("Selected").back(), "marker") << "the same id again does not rebuild the bar";
    ::Broadcast(kMsgPickObject, 0, object);
    EXPECT_EQ(editor->GetPickedObject(), object);

    // A change the Editor makes itself (Tab, a drop, a delete) reaches the
    // listeners: the settings record follows it.
    recorder->rows.clear();
    editor->SelectObject(0);
    EXPECT_EQ(editor->GetPickedObject(), 0u);
    EXPECT_TRUE(Entries("Selected").empty());
    EXPECT_EQ(recorder->rows, (std::vector<std::string>{"32,2=0", "32,3=0"}));
    EXPECT_EQ(menu->GetControlState().selectedObject, 0u);
    EXPECT_EQ(menu->GetControlState().pickedObject, 0u);
    editor->SelectObject(object);
    EXPECT_EQ(menu->GetControlState().selectedObject, object);
    EXPECT_EQ(menu->GetArchetypeObject(), object);
}

TEST_F(EditorModeTest, DeleteNeedsAPickAndThenRemovesTheSelectedObject) {
    const u32 object = AddSceneObject({0, 0, 0});
    Enter();
    recorder->Listen(kMsgObjectUnregistered);
    ::Broadcast(kMsgSelectObject, 0, object);
    ::Broadcast(kMsgDeleteSelection, 0, 0u);
    EXPECT_NE(Object(object), nullptr) << "nothing picked: nothing deleted";

    ::Broadcast(kMsgPickObject, 0, object);
    ::Broadcast(kMsgDeleteSelection, 0, 0u);
    EXPECT_EQ(Object(object), nullptr);
    EXPECT_TRUE(SceneManager::Instance()->GetObjectIds().empty());
    EXPECT_EQ(editor->GetSelectedObject(), 0u);
    EXPECT_EQ(menu->GetControlState().selectedObject, 0u);
    EndFrame();
    EXPECT_EQ(recorder->rows, std::vector<std::string>{"43,0=" + std::to_string(object)});
}

TEST_F(EditorModeTest, ComponentsByClassNameMakeObjectsOrExtendTheSelection) {
    Enter();
    std::vector<u32>& ids = SceneManager::Instance()->GetObjectIds();
    ::Broadcast(kMsgAddComponent, 0, std::string("NoSuchClass"));
    EXPECT_TRUE(ids.empty());

    ::Broadcast(kMsgAddComponent, 0, std::string("GlobalLighting"));
    ASSERT_EQ(ids.size(), 1u);
    EXPECT_EQ(Object(ids[0])->GetComponents().size(), 1u);
    EXPECT_EQ(menu->GetSceneComponentIds(), std::vector<u32>{ids[0]});

    ::Broadcast(kMsgAddComponent, 0, std::string("PointLight"));
    ASSERT_EQ(ids.size(), 2u);
    GameObject* light = Object(ids[1]);
    ASSERT_NE(light->GetComponent<PointLight>(), nullptr);
    Transform* transform = light->GetComponent<Transform>();
    ASSERT_NE(transform, nullptr);
    auto* camera = dynamic_cast<Camera*>(Overlord::Instance()->GetComponentById(editor->GetCurrentCamera()));
    ASSERT_NE(camera, nullptr);
    const D3DXVECTOR3 expected = FocusPoint(camera->GetPosition(), camera->GetLookAt(), {2, 2, 2});
    EXPECT_EQ(transform->position, expected);
    EXPECT_NE(transform->position, camera->GetPosition());

    // Onto the selection: only what it lacks, shown in the panel at once.
    ::Broadcast(kMsgSelectObject, 0, light->GetId());
    ::Broadcast(kMsgAddComponent, 0, std::string("PointLight"));
    ::Broadcast(kMsgAddComponent, 0, std::string("GlobalLighting"));
    EXPECT_EQ(light->GetComponents().size(), 3u);
    const std::vector<std::string> shown = Entries("Selected");
    EXPECT_NE(std::find_if(shown.begin(), shown.end(),
                           [](const std::string& name) { return name.rfind("GlobalLighting", 0) == 0; }),
              shown.end());
}

TEST_F(EditorModeTest, ComponentAddedToAnArchetypeInstanceSurvivesSaveAndReload) {
    Write(Path("arch/Lamp.arch"), "Transform = {}\n\n");
    Enter();
    const u32 lamp = ObjectFactory::Instance()->Instantiate("Lamp", true);
    ASSERT_NE(lamp, 0u);
    ::Broadcast(kMsgSelectObject, 0, lamp);
    ::Broadcast(kMsgAddComponent, 0, std::string("PointLight"));
    Object(lamp)->GetComponent<PointLight>()->mRange = 4.0f;
    ASSERT_TRUE(SceneManager::Instance()->SaveScene(Path("scene/Lamp.scn")));
    ASSERT_TRUE(SceneManager::Instance()->LoadScene(Path("scene/Lamp.scn")));
    const std::vector<u32>& ids = SceneManager::Instance()->GetObjectIds();
    ASSERT_EQ(ids.size(), 1u);
    EXPECT_EQ(Object(ids[0])->GetArchetypeName(), "Lamp");
    PointLight* light = Object(ids[0])->GetComponent<PointLight>();
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->mRange, 4.0f);
}
}  // namespace
