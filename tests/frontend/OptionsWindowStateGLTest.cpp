// The options screen shows the window's state as the window system has it,
// not as it was asked: the full-screen button (on or off) of the window's
// state and the size button of the client area's size stay lit, follow a
// change while the screen is shown, and stay lit after the mouse passes over
// them. A stand-in window system says whether the window is full screen.
#include <memory>
#include <string>

#include "engine/Overlord.h"
#include "frontend/controls/GameFlow.h"
#include "port/window/DisplayServer.h"
#include "port/window/PortWindow.h"
#include "render/mesh/Model.h"
#include "tests/frontend/ScreenWorld.h"

namespace {

class SaysFullScreen : public DisplayServer {
public:
    SaysFullScreen() { DisplayServer::SetForTest(this); }
    ~SaysFullScreen() override { DisplayServer::SetForTest(nullptr); }
    bool IsFullScreen(void*) override { return fullScreen; }
    bool fullScreen = false;
};

class OptionsWindowStateGLTest : public ScreenWorld {
protected:
    void SetUp() override {
        std::string error;
        window_ = PortWindow::Create("Q4nto", 320, 240, &error);
        ASSERT_TRUE(window_) << error;
        GameFlow::Show(splash);
        Frame(0.0f);
        Frame(3.5f);
        ClickButtonAt(-50.0f);  // Options
        ASSERT_TRUE(options->IsActive());
    }
    void TearDown() override { window_.reset(); }

    // The picture each button shows: the four sizes, full screen off and on.
    std::vector<std::string> Shown() const {
        std::vector<std::string> names;
        const std::vector<u32>& objects = options->GetObjectList();
        for (size_t i = 1; i <= 6 && i < objects.size(); ++i) {
            const GameObject* object = Overlord::Instance()->GetGameObject(objects[i]);
            const Model* model = object ? object->GetComponent<Model>() : nullptr;
            names.push_back(model ? model->material.diffuseFileName : "");
        }
        return names;
    }

    SaysFullScreen server_;
    std::unique_ptr<PortWindow> window_;
};

TEST_F(OptionsWindowStateGLTest, TheButtonsOfTheWindowsRealStateStayLit) {
    Frame();
    EXPECT_EQ(Shown(), (std::vector<std::string>{"res_800x600_noglow", "res_1280x720_noglow", "res_1600x900_noglow",
                                                 "res_1920x1080_noglow", "button_off_glow", "button_on_noglow"}))
        << "1024x768, windowed";

    server_.fullScreen = true;
    Frame();
    EXPECT_EQ(Shown(), (std::vector<std::string>{"res_800x600_noglow", "res_1280x720_noglow", "res_1600x900_noglow",
                                                 "res_1920x1080_noglow", "button_off_noglow", "button_on_glow"}))
        << "full screen";

    server_.fullScreen = false;
    ::Broadcast(kMsgClientRect, 0, ClientRect{0, 0, 800, 600});
    Frame();
    const std::vector<std::string> windowed800 = {"res_800x600_glow",     "res_1280x720_noglow", "res_1600x900_noglow",
                                                  "res_1920x1080_noglow", "button_off_glow",     "button_on_noglow"};
    EXPECT_EQ(Shown(), windowed800) << "800x600, windowed";

    // The mouse over the lit 800x600 button, then away: it stays lit.
    MouseTo(465, 185);
    Frame();
    MouseTo(10, 590);
    Frame();
    EXPECT_EQ(Shown(), windowed800) << "after the mouse passed";
}

}  // namespace
