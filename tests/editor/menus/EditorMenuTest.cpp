// The editor's panels: the bars and their entries, the axis locks, the
// scene-components blocks and what stays bound when objects go.
#include "controls/E3BasisVecs.h"
#include "port/window/WindowEvent.h"
#include "render/light/GlobalLighting.h"
#include "tests/editor/EditorTestWorld.h"

namespace {
class EditorMenuTest : public EditorFixture {
protected:
    // A GlobalLighting object made with nothing selected; its id.
    u32 AddLight() {
        ::Broadcast(kMsgAddComponent, 0, std::string("GlobalLighting"));
        return SceneManager::Instance()->GetObjectIds().back();
    }
    // Every value of every entry of every bar, read as the panels would.
    static void ReadEveryEntry() {
        for (const std::string& name : TwInspectBarNames()) {
            TwBar* bar = TwInspectFindBar(name.c_str());
            std::string value;
            for (const std::string& entry : Entries(name.c_str())) TwInspectReadValue(bar, entry.c_str(), &value);
        }
    }
    static std::vector<std::string> Block(u32 id) {
        const std::string s = "_" + std::to_string(id);
        return {"Seperator" + s, "Select this" + s, "Delete" + s};
    }
    static bool HasBlock(u32 id) {
        const std::vector<std::string> entries = Entries("SceneComponents");
        for (const std::string& name : Block(id))
            if (std::find(entries.begin(), entries.end(), name) == entries.end()) return false;
        return true;
    }
};

struct MainMenuRow {
    const char* name;
    TweakVarKind kind;
    TwType type;
    const char* label;
    const char* group;
    const char* help;
};

TEST_F(EditorMenuTest, BarsComeInOrderAndMainMenuIsAsTabled) {
    Enter();
    EXPECT_EQ(TwInspectBarNames(),
              (std::vector<std::string>{"Archetypes", "Selected", "MainMenu", "ComponentsList", "SceneComponents"}));
    const std::vector<std::string> classes = Entries("ComponentsList");
    EXPECT_EQ(classes, ObjectFactory::Instance()->GetComponentClassNames());
    EXPECT_TRUE(std::is_sorted(classes.begin(), classes.end()));
    EXPECT_GT(classes.size(), 10u);
    EXPECT_EQ(Entries("SceneComponents"), std::vector<std::string>{"HUD Select Mode"});
    const MainMenuRow rows[] = {
        {"NewScene", TweakVarKind::Button, TW_TYPE_UNDEF, "New Scene", "Scene", ""},
        {"LoadScene", TweakVarKind::Button, TW_TYPE_UNDEF, "Load Scene", "Scene", ""},
        {"SaveScene", TweakVarKind::Button, TW_TYPE_UNDEF, "Save Scene", "Scene", ""},
        {"SaveSceneAs", TweakVarKind::Button, TW_TYPE_UNDEF, "Save Scene As...", "Scene", ""},
        {"MoveSeparator", TweakVarKind::Separator, TW_TYPE_UNDEF, "", "", ""},
        {"ToggleRotate", TweakVarKind::ReadWrite, TW_TYPE_BOOLCPP, "Toggle Rotate/Move", "ObjectManipulation",
         "Toggle between movement and rotation"},
        {"ToggleOrtho", TweakVarKind::ReadWrite, TW_TYPE_BOOLCPP, "Orthogonal Movement", "ObjectManipulation",
         "Toggle object movement between model local coordinate system and world coordinates"},
        {"MoveSpeed", TweakVarKind::ReadWrite, TW_TYPE_FLOAT, "Object Movement Speed", "ObjectManipulation",
         "Speed objects move with keyboard"},
        {"RotateStepDegrees", TweakVarKind::ReadWrite, TW_TYPE_FLOAT, "Rotation Step (Degrees)", "ObjectManipulation",
         "Rotation will move by this amount (in degrees) every time you press any rotation key"},
        {"ResetRotation", TweakVarKind::Button, TW_TYPE_UNDEF, "Reset Rotation", "ObjectManipulation",
         "Reset current selected object to 0 rotation on every axis"},
        {"AxisLockX", TweakVarKind::ReadWrite, TW_TYPE_BOOL32, "X-Axis locked", "AxisLocks", ""},
        {"AxisLockY", TweakVarKind::ReadWrite, TW_TYPE_BOOL32, "Y-Axis locked", "AxisLocks", ""},
        {"AxisLockZ", TweakVarKind::ReadWrite, TW_TYPE_BOOL32, "Z-Axis locked", "AxisLocks", ""},
    };
    TweakBarInfo bar;
    ASSERT_TRUE(TwInspectBar(menu->GetMainMenuBar(), &bar));
    EXPECT_EQ(bar.label, "Main Menu");
    EXPECT_EQ(bar.positionX, 0);
    EXPECT_EQ(bar.sizeY, 400);
    ASSERT_EQ(bar.vars.size(), std::size(rows));
    for (size_t i = 0; i < bar.vars.size(); ++i) {
        const TweakVarInfo& var = bar.vars[i];
        EXPECT_EQ(var.name, rows[i].name);
        EXPECT_EQ(var.kind, rows[i].kind) << var.name;
        if (rows[i].kind == TweakVarKind::ReadWrite) {
            EXPECT_EQ(var.type, rows[i].type) << var.name;
        }
        EXPECT_EQ(var.label, rows[i].label) << var.name;
        EXPECT_EQ(var.group, rows[i].group) << var.name;
        EXPECT_EQ(var.help, rows[i].help) << var.name;
    }
    EXPECT_EQ(bar.vars[9].clientData, &menu->GetControlState().selectedObject);
    EXPECT_EQ(bar.vars[10].address, &menu->GetControlState().axisLocks.x);
}

TEST_F(EditorMenuTest, BarsDoNotCoverEachOtherAt1024x768) {
    Enter();
    struct Box {
        std::string name;
        int x, y, w, h;
    };
    std::vector<Box> boxes;
    for (const std::string& name : TwInspectBarNames()) {
        TweakBarInfo info;
        ASSERT_TRUE(TwInspectBar(TwInspectFindBar(name.c_str()), &info));
        ASSERT_GE(info.positionX, 0) << name << " has no position";
        boxes.push_back({name, info.positionX, info.positionY, info.sizeX, info.sizeY});
        EXPECT_LE(info.positionX + info.sizeX, 1024) << name;
        EXPECT_LE(info.positionY + info.sizeY, 768) << name;
    }
    for (size_t i = 0; i < boxes.size(); ++i)
        for (size_t j = i + 1; j < boxes.size(); ++j) {
            const Box& a = boxes[i];
            const Box& b = boxes[j];
            const bool apart = a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
            EXPECT_TRUE(apart) << a.name << " covers " << b.name;
        }
}

TEST_F(EditorMenuTest, EmptyArchetypeFolderIsLoggedOncePerActivate) {
    Enter();
    editor->Deactivate();
    Enter();
    assembly_->Disassemble();
    const std::string log = Read(Path("log/Application.log"));
    size_t rows = 0;
    for (size_t at = log.find(EditorMenuSystem::kNoArchetypeFilesRow); at != std::string::npos;
         at = log.find(EditorMenuSystem::kNoArchetypeFilesRow, at + 1))
        ++rows;
    EXPECT_EQ(rows, 2u);
}

TEST_F(EditorMenuTest, AxisLockMessagesToggleTheirAxisAndIgnoreOthers) {
    Enter();
    const D3DXVECTOR3& locks = menu->GetControlState().axisLocks;
    ::Broadcast(kMsgAxisLock, 0, E3BasisY);
    EXPECT_EQ(locks.y, 1.0f);
    ::Broadcast(kMsgAxisLock, 0, E3BasisY);
    EXPECT_EQ(locks.y, 0.0f);
    ::Broadcast(kMsgAxisLock, 0, static_cast<E3BasisVecs>(3));
    ::Broadcast(kMsgAxisLock, 0, static_cast<E3BasisVecs>(0xFFFFFFFF));
    EXPECT_EQ(locks, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(menu->GetControlState().copiedObject, 0u) << "the member after the locks is left alone";
}

TEST_F(EditorMenuTest, EachLightGetsItsOwnBlockAndDeletingOneKeepsTheOther) {
    Enter();
    const u32 a = AddLight();
    const u32 b = AddLight();
    EXPECT_TRUE(HasBlock(a));
    EXPECT_TRUE(HasBlock(b));
    ASSERT_TRUE(Press("SceneComponents", "Select this_" + std::to_string(a)));
    EXPECT_EQ(editor->GetSelectedObject(), a);
    EXPECT_FALSE(Entries("Selected").empty());

    ASSERT_TRUE(Press("SceneComponents", "Delete_" + std::to_string(a)));
    EXPECT_EQ(Object(a), nullptr);
    EXPECT_EQ(editor->GetSelectedObject(), 0u) << "the deleted object was selected";
    EXPECT_TRUE(Entries("Selected").empty());
    EXPECT_FALSE(HasBlock(a));
    EXPECT_TRUE(HasBlock(b));
    EXPECT_EQ(menu->GetSceneComponentIds(), std::vector<u32>{b});
    EndFrame();
    ReadEveryEntry();  // nothing is bound to the freed light (the sanitizer build would see it)
}

TEST_F(EditorMenuTest, TwoSkyBoxesAndTwoEmittersKeepEveryEntryInOneBar) {
    Enter();
    static std::vector<std::string> errors;
    errors.clear();
    TwHandleErrors([](const char* error) { errors.push_back(error); });
    std::vector<u32> ids;
    for (int i = 0; i < 2; ++i) {
        ::Broadcast(kMsgAddComponent, 0, std::string("Skybox"));
        ids.push_back(SceneManager::Instance()->GetObjectIds().back());  // the sky box brings its model
        const u32 light = AddLight();
        ::Broadcast(kMsgSelectObject, 0, light);
        ::Broadcast(kMsgAddComponent, 0, std::string("ParticleEmmiter"));
        ::Broadcast(kMsgSelectObject, 0, 0u);
        ids.push_back(light);
    }
    menu->RebuildSceneComponents();
    TwHandleErrors(nullptr);
    EXPECT_TRUE(errors.empty()) << errors.front();
    // What each object shows in a bar of its own, it shows in the shared one.
    const std::vector<std::string> shared = Entries("SceneComponents");
    for (u32 id : ids) {
        TwBar* alone = TwNewBar("Alone");
        Object(id)->ShowInTweakBar(alone, "_" + std::to_string(id));
        for (const std::string& entry : Entries("Alone"))
            EXPECT_NE(std::find(shared.begin(), shared.end(), entry), shared.end()) << entry;
        TwDeleteBar(alone);
    }
    for (const char* entry : {"Center_", "AddEmitter_", "spawnRate0_"})
        EXPECT_EQ(std::count_if(shared.begin(), shared.end(),
                                [entry](const std::string& name) { return name.rfind(entry, 0) == 0; }),
                  2)
            << entry;
}

// Escape as the window hands it on: to the panels first, to the game's
// input only when no panel used it.
class EditorPanelKeysTest : public EditorMenuTest {
protected:
    void SetUp() override {
        EditorMenuTest::SetUp();
        Enter();
        ASSERT_EQ(1, TwInit(TW_OPENGL_CORE, nullptr));
        TwWindowSize(1024, 768);
        TwDefine(" Selected size='300 760' ");
    }
    void TearDown() override {
        TwTerminate();
        EditorMenuTest::TearDown();
    }
    void Pointer(WindowEventKind kind, float x, float y) {
        WindowEvent e;
        e.kind = kind;
        e.x = static_cast<int32_t>(x);
        e.y = static_cast<int32_t>(y);
        if (!TwEventWin(e) && kind == WindowEventKind::ButtonDown) input->ButtonDown(0, e.x, e.y);
    }
    // A click on the Selected bar's entry, dx pixels into it.
    void ClickEntry(const char* entry, float dx) {
        float x, y, w, h;
        TwDraw();
        ASSERT_TRUE(TwInspectItemRect(menu->GetSelectedBar(), entry, &x, &y, &w, &h)) << entry;
        Pointer(WindowEventKind::MouseMove, x + dx, y + h / 2);
        Pointer(WindowEventKind::ButtonDown, x + dx, y + h / 2);
        TwDraw();
        Pointer(WindowEventKind::ButtonUp, x + dx, y + h / 2);
        TwDraw();
    }
    // Escape down for a frame of the panels and the controls, then up; true
    // when a panel used it.
    bool Escape() {
        WindowEvent e;
        e.kind = WindowEventKind::KeyDown;
        e.vk = 0x1B;
        const bool used = TwEventWin(e) != 0;
        if (!used) input->KeyPressed(0x1B);
        Frame();
        TwDraw();
        e.kind = WindowEventKind::KeyUp;
        TwEventWin(e);
        input->KeyReleased(0x1B);
        Frame();
        TwDraw();
        return used;
    }
};

TEST_F(EditorPanelKeysTest, EscapeThatClosesAPopupOrEndsAnEditLeavesTheSelection) {
    const u32 light = AddLight();
    ::Broadcast(kMsgSelectObject, 0, light);
    ::Broadcast(kMsgAddComponent, 0, std::string("PointLight"));
    TwDraw();
    // The colour swatch at the right end of the values opens the picker.
    ClickEntry("PointLight.mDiffuse", 200.0f - 6.0f);
    EXPECT_TRUE(Escape()) << "the picker was open and takes the key";
    EXPECT_EQ(editor->GetSelectedObject(), light);
    ClickEntry("PointLight.mRange", 12.0f);
    EXPECT_TRUE(Escape()) << "the field being edited takes the key";
    EXPECT_EQ(editor->GetSelectedObject(), light);
    // With nothing of a panel open Escape deselects.
    EXPECT_FALSE(Escape());
    EXPECT_EQ(editor->GetSelectedObject(), 0u);
}

using EditorPanelLayoutTest = EditorPanelKeysTest;

TEST_F(EditorPanelLayoutTest, RightBarsKeepToTheRightEdgeAndTheSizeTheDesignerGave) {
    TwDefine(" Selected size='300 300' ");
    TwDraw();
    TwDraw();
    float x, y, w, h;
    for (const char* name : {"Selected", "Archetypes", "SceneComponents"}) {
        ASSERT_TRUE(TwInspectBarRect(TwInspectFindBar(name), &x, &y, &w, &h)) << name;
        EXPECT_FLOAT_EQ(x + w, 1024.0f) << name;
    }
    // The designer drags the scene components' corner: 60 wider to the left
    // is out of reach, so 40 taller.
    TwBar* scene = menu->GetSceneComponentsBar();
    ASSERT_TRUE(TwInspectBarRect(scene, &x, &y, &w, &h));
    const float cornerX = x + w - 3, cornerY = y + h - 3;
    Pointer(WindowEventKind::MouseMove, cornerX, cornerY);
    Pointer(WindowEventKind::ButtonDown, cornerX, cornerY);
    TwDraw();
    for (int step = 1; step <= 4; ++step) {
        Pointer(WindowEventKind::MouseMove, cornerX, cornerY - 10.0f * static_cast<float>(step));
        TwDraw();
    }
    Pointer(WindowEventKind::ButtonUp, cornerX, cornerY - 40);
    TwDraw();
    float gx, gy, gw, gh;
    ASSERT_TRUE(TwInspectBarRect(scene, &gx, &gy, &gw, &gh));
    ASSERT_NEAR(gh, h - 40, 2.0f) << "the drag resized the bar";

    // A load rebuilds the bar's entries, not the bar.
    AddLight();
    QuestionBoxScriptAnswer("Discard");
    ASSERT_TRUE(Press("MainMenu", "NewScene"));
    TwDraw();
    EXPECT_EQ(menu->GetSceneComponentsBar(), scene);
    ASSERT_TRUE(TwInspectBarRect(scene, &x, &y, &w, &h));
    EXPECT_FLOAT_EQ(h, gh);

    // Full screen at 1280 x 1024: the right column goes along.
    TwWindowSize(1280, 1024);
    TwDraw();
    TwDraw();
    for (const char* name : {"Selected", "Archetypes", "SceneComponents"}) {
        ASSERT_TRUE(TwInspectBarRect(TwInspectFindBar(name), &x, &y, &w, &h)) << name;
        EXPECT_FLOAT_EQ(x + w, 1280.0f) << name;
    }
    ASSERT_TRUE(TwInspectBarRect(scene, &x, &y, &w, &h));
    EXPECT_FLOAT_EQ(h, gh) << "moving keeps the size";
    ASSERT_TRUE(TwInspectBarRect(menu->GetMainMenuBar(), &x, &y, &w, &h));
    EXPECT_FLOAT_EQ(x, 0.0f) << "the left column stays";
}

TEST_F(EditorPanelLayoutTest, EveryMainMenuLabelShowsWhole) {
    TwDraw();
    TwDraw();
    float bx, by, bw, bh;
    ASSERT_TRUE(TwInspectBarRect(menu->GetMainMenuBar(), &bx, &by, &bw, &bh));
    for (const std::string& entry : Entries("MainMenu")) {
        float x, y, w, h;
        if (!TwInspectItemRect(menu->GetMainMenuBar(), entry.c_str(), &x, &y, &w, &h)) continue;  // separators
        EXPECT_LE(x + w, bx + bw - 8.0f) << entry << " is cut";
    }
}

TEST_F(EditorMenuTest, NewSceneLeavesNoEntryBoundToAnOldObject) {
    Enter();
    const u32 a = AddLight();
    AddLight();
    const u32 plain = AddSceneObject({0, 0, 0});
    ::Broadcast(kMsgSelectObject, 0, a);
    QuestionBoxScriptAnswer("Discard");
    ASSERT_TRUE(Press("MainMenu", "NewScene"));
    EXPECT_TRUE(Entries("Selected").empty());
    EXPECT_EQ(Entries("SceneComponents"), std::vector<std::string>{"HUD Select Mode"});
    EXPECT_TRUE(menu->GetSceneComponentIds().empty());
    EXPECT_EQ(menu->GetArchetypeObject(), 0u);
    EndFrame();
    EXPECT_EQ(Object(plain), nullptr);
    ReadEveryEntry();
}

TEST_F(EditorMenuTest, BarHandlesAreNullUntilBuilt) {
    for (TwBar* bar : {menu->GetSelectedBar(), menu->GetArchetypesBar(), menu->GetMainMenuBar(),
                       menu->GetComponentsBar(), menu->GetSceneComponentsBar()})
        EXPECT_EQ(bar, nullptr);
    // A scene cleared outside edit mode touches no bar.
    SceneManager::Instance()->ClearScene();
    EXPECT_EQ(TwGetLastError(), nullptr);
}
}  // namespace
