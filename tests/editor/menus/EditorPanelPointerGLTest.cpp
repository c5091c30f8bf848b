// The panels under the real window's pointer: events go to the panels first
// and to the program's input only when no panel takes them, as the window's
// pump hands them on. A double click on "Delete Object" deletes one object,
// and neither the status lines nor the red outline offer a click's pick while
// the pointer is on a panel.
#include "editor/menus/EditorUISystem.h"
#include "editor/proxy/EditorProxySystem.h"
#include "port/panels/TweakPanels.h"
#include "port/window/PortWindow.h"
#include "port/window/WindowTestInput.h"
#include "tests/editor/EditorTestWorld.h"

namespace {
class EditorPanelPointerGLTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        std::string error;
        window = PortWindow::Create("Q4nto", 1024, 768, &error);
        ASSERT_TRUE(window) << error;
        ASSERT_EQ(1, TwInit(TW_OPENGL_CORE, nullptr));
        TwWindowSize(1024, 768);
        Enter();
        ui = editor->GetUISystem();
        RunFrame();
    }
    void TearDown() override {
        TwTerminate();
        window.reset();
        EditorFixture::TearDown();
    }
    // One frame as the program runs it: the window's events, the panels (and
    // their buttons' callbacks), the controls, the Editor, the input edges.
    void RunFrame() {
        WindowEvent e;
        while (window->PollEvent(&e)) {
            if (TwEventWin(e)) continue;
            if (e.kind == WindowEventKind::MouseMove) input->MouseMoved(e.x, e.y, e.buttonFlags);
            if (e.kind == WindowEventKind::ButtonDown) input->ButtonDown(e.button, e.x, e.y);
            if (e.kind == WindowEventKind::ButtonUp) input->ButtonUp(e.button);
        }
        TwDraw();
        gui->Update(0.016f);
        editor->Update(0.016f);
        input->Update(0.016f);
    }
    void MoveTo(int x, int y) {
        TestPushMouseMove(x, y);
        RunFrame();
    }
    void ClickAt(int x, int y) {
        TestPushMouseMove(x, y);
        TestPushMouseButton(0, true, x, y);
        RunFrame();
        TestPushMouseButton(0, false, x, y);
        RunFrame();
    }
    // The centre of a panel entry as the last frame drew it.
    static bool Centre(TwBar* bar, const std::string& entry, int* x, int* y) {
        float ex, ey, w, h;
        if (!TwInspectItemRect(bar, entry.c_str(), &ex, &ey, &w, &h)) return false;
        *x = static_cast<int>(ex + w / 2);
        *y = static_cast<int>(ey + h / 2);
        return true;
    }
    // A GlobalLighting object (and the other classes) in the scene, listed in "SceneComponents".
    static u32 AddLight(std::initializer_list<const char*> others = {}) {
        ObjectFactory& factory = *ObjectFactory::Instance();
        GameObject* object = factory.NewGameObject();
        object->AddComponent(factory.GetPrototype("GlobalLighting")->Clone());
        for (const char* name : others) object->AddComponent(factory.GetPrototype(name)->Clone());
        object->Init();
        object->AnnounceComponents();
        SceneManager::Instance()->AddObject(object->GetId(), false);
        return object->GetId();
    }

    std::unique_ptr<PortWindow> window;
    EditorUISystem* ui = nullptr;
};

TEST_F(EditorPanelPointerGLTest, ADoubleClickOnDeleteObjectDeletesOneAndSaysSo) {
    // Each block is two rows taller than the one before (a one-member Damage,
    // Lifetime): a block's rows and its two rows of the shared "Parenting"
    // group go, and the next "Delete Object" comes to stand where its was.
    const u32 first = AddLight();
    const u32 second = AddLight({"Damage"});
    const u32 third = AddLight({"Damage", "Lifetime"});
    TwDefine(" SceneComponents position='724 0' size='300 768' ");  // both blocks in sight
    RunFrame();
    int x = 0, y = 0;
    ASSERT_TRUE(Centre(menu->GetSceneComponentsBar(), "Delete_" + std::to_string(first), &x, &y));
    ClickAt(x, y);
    ASSERT_EQ(Object(first), nullptr);
    EXPECT_EQ(ui->NoticeLine(), "Delete: GlobalLighting (GUID " + std::to_string(first) + ") deleted");
    RunFrame();  // drawn anew
    float bx, by, bw, bh;
    ASSERT_TRUE(TwInspectItemRect(menu->GetSceneComponentsBar(), ("Delete_" + std::to_string(second)).c_str(), &bx, &by,
                                  &bw, &bh));
    ASSERT_TRUE(x >= bx && x < bx + bw && y >= by && y < by + bh) << "the next block's button is under the pointer";

    ClickAt(x, y);  // the double click's second
    EXPECT_NE(Object(second), nullptr);
    EXPECT_EQ(ui->NoticeLine(),
              "Delete Object: the list moved under the pointer; click again to delete "
              "GlobalLighting (GUID " +
                  std::to_string(second) + ")");
    ClickAt(x, y);
    EXPECT_EQ(Object(second), nullptr) << "asked twice";

    // A pointer moved away and back meant it.
    MoveTo(600, 600);
    MoveTo(x, y);
    ClickAt(x, y);
    EXPECT_EQ(Object(third), nullptr);
}

TEST_F(EditorPanelPointerGLTest, APickIsOfferedOnlyWhileThePointerIsOffThePanels) {
    const u32 rock = AddSceneObject({0, 0, 10});
    float bx, by, bw, bh;
    ASSERT_TRUE(TwInspectBarRect(menu->GetComponentsBar(), &bx, &by, &bw, &bh));
    const std::pair<int, int> view{600, 600}, panel{static_cast<int>(bx + bw / 2), static_cast<int>(by + bh / 2)};
    for (const auto& [at, offered] : {std::pair{view, true}, std::pair{panel, false}, std::pair{view, true}}) {
        MoveTo(at.first, at.second);
        ::Broadcast(kMsgPickedObject, 0, rock);  // as the picking says for the input's pointer
        EXPECT_EQ(ui->PointerLine().empty(), !offered) << at.first << ", " << at.second << ": " << ui->PointerLine();
    }
}

TEST_F(EditorPanelPointerGLTest, TheHoverOutlineGoesWhileThePointerIsOnAPanel) {
    const u32 rock = AddSceneObject({0, 0, 10});
    EditorProxySystem& proxies = *editor->GetProxySystem();
    const u32 marker = proxies.CreateProxy(*Object(rock));
    float bx, by, bw, bh;
    ASSERT_TRUE(TwInspectBarRect(menu->GetComponentsBar(), &bx, &by, &bw, &bh));
    const std::pair<int, int> view{600, 600}, panel{static_cast<int>(bx + bw / 2), static_cast<int>(by + bh / 2)};
    for (const auto& [at, outlined] : {std::pair{view, marker}, std::pair{panel, 0u}, std::pair{view, marker}}) {
        MoveTo(at.first, at.second);
        ::Broadcast(kMsgPickedObject, 0, rock);  // as the picking says for the input's pointer
        ::Broadcast(kMsgPickedProxy, 0, marker);
        EXPECT_EQ(proxies.PointedHighlight(), outlined) << at.first << ", " << at.second;
    }
}
}  // namespace
