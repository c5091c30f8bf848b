#include "frontend/screens/OptionsMenu.h"

#include "controls/Control.h"
#include "controls/DoAlwaysTrigger.h"
#include "controls/GuiSystem.h"
#include "controls/MessageAction.h"
#include "engine/GameObject.h"
#include "engine/MessageTypes.h"
#include "frontend/controls/ButtonHighlightControl.h"
#include "frontend/controls/ControlGroups.h"
#include "frontend/controls/GameFlow.h"
#include "port/window/PortWindow.h"

namespace {
// A setting button's click control: plain, always updated, active for one
// update per click.
Control* SettingControl(const char* name) {
    auto* control = new Control(name, Control::kCategoryAlways);
    control->AddDeactivateTrigger(new DoAlwaysTrigger);
    return control;
}

struct SizeButton {
    const char* name;
    const char* normal;
    const char* hover;
    float x, y;
    ButtonRect rect;
    float width, height;
};
const SizeButton kSizes[] = {
    {"res800x600button", "res_800x600_noglow", "res_800x600_glow", 50, 130, {-10, -140, 140, -90}, 800, 600},
    {"res1280x720button", "res_1280x720_noglow", "res_1280x720_glow", 225, 130, {165, -140, 325, -90}, 1280, 720},
    {"res1600x900button", "res_1600x900_noglow", "res_1600x900_glow", 50, 70, {-10, -80, 140, -30}, 1600, 900},
    {"res1920x1080button", "res_1920x1080_noglow", "res_1920x1080_glow", 225, 70, {165, -80, 325, -30}, 1920, 1080},
};

struct SwitchButton {
    const char* name;
    const char* normal;
    const char* hover;
    float x, y;
    ButtonRect rect;
    Kind<NoPayload> kind;
};
// Full screen off and on first: the two that show the window's state.
constexpr size_t kFullScreenSwitches = 2;
const SwitchButton kSwitches[] = {
    {"fullscreenoffbutton", "button_off_noglow", "button_off_glow", 260, -35, {230, 0, 320, 105}, kMsgClearFullScreen},
    {"fullscreenonbutton", "button_on_noglow", "button_on_glow", 130, -35, {100, 0, 190, 105}, kMsgSetFullScreen},
    {"soundoffbutton", "button_off_noglow", "button_off_glow", 260, -170, {230, 135, 320, 240}, kMsgSoundOff},
    {"soundonbutton", "button_on_noglow", "button_on_glow", 130, -170, {100, 135, 190, 240}, kMsgSoundOn},
};
constexpr float kSwitchHalfExtent = 70.0f;
}  // namespace

OptionsMenu::OptionsMenu() : MenuScreen(TypeId<OptionsMenu>::Get(), "OptionsMenu") {}

void OptionsMenu::Init() {
    MenuScreen::Init();
    for (u32 group : {ControlGroup::kUnused, ControlGroup::kBackToPause, ControlGroup::kBackToStart})
        GameFlow::SwitchGroup(kMsgDisableGroup, group, GetTypeId());
}

void OptionsMenu::Update(float dt) {
    MenuScreen::Update(dt);
    ShowWindowState();
}

void OptionsMenu::Build() {
    sizeButtons_.clear();
    fullScreenButtons_.clear();
    AddPicture("Options_screen_clean", 700.0f, 390.25f, 0.0f, -70.0f);
    // The settings work in both showings: group 0 is never switched off.
    const u32 group = ControlGroup::kAlways;
    for (const SizeButton& b : kSizes) {
        GameObject* button = AddPicture(b.normal, kButtonHalfWidth, kButtonHalfHeight, b.x, b.y);
        const auto ids = AddButtonControls(
            button, b.rect, b.normal, b.hover, group, SettingControl(b.name),
            {ConfirmSound(),
             new MessageAction<D3DXVECTOR2>(GetTypeId(), kMsgSetWindowSize, D3DXVECTOR2(b.width, b.height))});
        sizeButtons_.push_back({ids[0], b.normal, b.hover, false});
    }
    const u32 gui = TypeId<GuiSystem>::Get();
    for (const SwitchButton& b : kSwitches) {
        GameObject* button = AddPicture(b.normal, kSwitchHalfExtent, kSwitchHalfExtent, b.x, b.y);
        const auto ids = AddButtonControls(button, b.rect, b.normal, b.hover, group, SettingControl(b.name),
                                           {ConfirmSound(), new MessageAction<NoPayload>(gui, b.kind, NoPayload{})});
        if (fullScreenButtons_.size() < kFullScreenSwitches)
            fullScreenButtons_.push_back({ids[0], b.normal, b.hover, false});
    }

    AddBackButtons();
    AddCursor();
    ShowWindowState();
}

void OptionsMenu::ShowWindowState() {
    const GuiSystem* gui = static_cast<const GuiSystem*>(GameFlow::Find<GuiSystem>());
    if (!gui) return;
    // Asked of the window system each frame: a window manager may carry a
    // request out late, or not at all.
    const PortWindow* window = PortWindow::Current();
    const bool fullScreen = window && window->IsFullScreen();
    const i32 width = screenRect_.right - screenRect_.left;
    const i32 height = screenRect_.bottom - screenRect_.top;
    auto show = [gui](StateButton& button, bool lit) {
        if (button.lit == lit) return;
        auto* highlight = dynamic_cast<ButtonHighlightControl*>(gui->FindControl(button.highlightId));
        if (!highlight) return;
        button.lit = lit;
        highlight->SetNormalTexture(lit ? button.hover : button.normal);
    };
    for (size_t i = 0; i < sizeButtons_.size(); ++i)
        show(sizeButtons_[i], window && !fullScreen && width == static_cast<i32>(kSizes[i].width) &&
                                  height == static_cast<i32>(kSizes[i].height));
    for (size_t i = 0; i < fullScreenButtons_.size(); ++i)
        show(fullScreenButtons_[i], window && fullScreen == (kSwitches[i].kind.type == kMsgSetFullScreen.type));
}
