#include "frontend/screens/FinMenu.h"

#include <algorithm>
#include <locale>
#include <sstream>

#include "engine/GameObject.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "frontend/controls/ControlGroups.h"
#include "frontend/controls/GameFlow.h"
#include "frontend/controls/LoadSceneControl.h"
#include "frontend/controls/QuitControl.h"
#include "frontend/controls/RestartControl.h"
#include "frontend/screens/NextLevelAction.h"
#include "render/text/ScreenText.h"

class PauseMenu;

namespace {
// The labels in the order LabelTexts and Update use.
struct Label {
    const char* initialText;
    float x;
    float y;
    int pixelSize;
    D3DXCOLOR colour;
};
const D3DXCOLOR kWhite(1, 1, 1, 1);
// The panel: half extents and centre height (y up); its top is the
// screen's highest point.
constexpr float kPanelHalfWidth = 250.0f;
constexpr float kPanelHalfHeight = 150.0f;
constexpr float kPanelY = 220.0f;
constexpr float kTopMargin = 10.0f;  // pixels kept free above the panel when it has to move
const Label kLabels[] = {
    {"Total Score: ", -200, 120, 24, D3DXCOLOR(1, 0.8f, 0.3f, 1)},
    {"Time: ", -200, 320, 18, kWhite},
    {"Lives Remaining: ", -200, 290, 18, kWhite},
    {"Average Speed: ", -200, 230, 18, kWhite},
    {"Distance Traveled: ", -200, 200, 18, kWhite},
    {"Health Remaining: ", -200, 260, 18, kWhite},
    {"Points Accumulated: ", -200, 170, 18, kWhite},
};
}  // namespace

FinMenu::FinMenu() : MenuScreen(TypeId<FinMenu>::Get(), "FinMenu") {}

void FinMenu::Init() {
    MenuScreen::Init();
    for (const Label& label : kLabels) {
        const D3DXVECTOR3 position(label.x, label.y, -100.0f);
        GameObject* object =
            CreateScreenTextObject(position, label.initialText, kLabelFont, label.colour, screenRect_, label.pixelSize);
        labels_.push_back(object->GetId());
        const Transform* transform = object->GetComponent<Transform>();
        labelY_.push_back(transform ? transform->position.y : label.y);
    }
}

void FinMenu::HandleMessage(Message* message) {
    MenuScreen::HandleMessage(message);
    if (!IsActive() || !message || !message->Is(kMsgClientRect) || LayoutShift(screenRect_) == shift_) return;
    // The old controls go in the next drain, the new ones work from now.
    DestroyMenuObjects();
    drawList_.clear();
    Build();
}

float FinMenu::LayoutShift(const ClientRect& window) {
    const i32 height = window.bottom - window.top;
    if (height <= 0) return 0.0f;  // no size known yet
    const float room = static_cast<float>(height / 2) - kTopMargin;
    return std::min(0.0f, room - (kPanelY + kPanelHalfHeight));
}

void FinMenu::ReceiveLevelResults(const LevelResults& results) {
    results_ = results;
}

i32 FinMenu::TotalScore(const LevelResults& r) {
    const u32 total = static_cast<u32>(r.lives) * 10000u + static_cast<u32>(r.averageSpeed) * 396u +
                      static_cast<u32>(r.points) + static_cast<u32>(r.distance);
    return static_cast<i32>(total);
}

std::vector<std::string> FinMenu::LabelTexts(const LevelResults& r, float time) {
    auto text = [](auto... parts) {
        std::ostringstream out;
        out.imbue(std::locale::classic());
        (out << ... << parts);
        return out.str();
    };
    return {
        text("Total Score: ", TotalScore(r)),
        text("Time: ", time),
        text("Lives Remaining: ", r.lives),
        text("Average Speed: ", r.averageSpeed, " mps"),
        text("Distance Traveled: ", r.distance, " m"),
        text("Health Remaining: ", r.health),
        text("Points Scored: ", r.points),
    };
}

void FinMenu::Update(float) {
    time_ = GameFlow::LevelTime();
    for (u32 id : drawList_) DrawObjectOnce(id);
    const std::vector<std::string> texts = LabelTexts(results_, time_);
    const Overlord* overlord = Overlord::Instance();
    for (size_t i = 0; i < labels_.size() && i < texts.size(); ++i) {
        GameObject* label = overlord ? overlord->GetGameObject(labels_[i]) : nullptr;
        if (!label) continue;
        SetObjectScreenText(label, texts[i]);
        ScreenText::SubmitForFrame(label);
    }
}

void FinMenu::Activate() {
    GameFlow::FlipGamePause(false);
    GameFlow::Hide(GameFlow::Find<PauseMenu>());
    SubscribeAll();
    // The rectangle kept may be old: the screen heard no size change while hidden.
    const ClientRect window = GameFlow::WindowRect();
    if (window.bottom > window.top) screenRect_ = window;
    Build();
    GameFlow::SetGlow(false);
}

void FinMenu::Build() {
    GameFlow::SwitchGroup(kMsgDisableGroup, ControlGroup::kPauseKey, GetTypeId());
    // Pictures and labels move down by the shift (y up), the mouse
    // rectangles with them (y down).
    shift_ = LayoutShift(screenRect_);
    const float s = shift_;
    auto rect = [s](float left, float top, float right, float bottom) {
        return ButtonRect{left, top - s, right, bottom - s};
    };
    PlaceLabels();
    GameObject* panel = AddPicture("Black", kPanelHalfWidth, kPanelHalfHeight, 0.0f, kPanelY + s);
    const u32 group = ControlGroup::kResultsButtons;
    // Restart lets Esc work again itself, when it restarts.
    GameObject* restart = AddButton("RestartButton", "RestartButton2", 0.0f, s, rect(-100, -5, 100, 45), group,
                                    new RestartControl(ControlGroup::kPauseKey), {ConfirmSound()});
    GameObject* quit = nullptr;
    GameObject* next = nullptr;
    if (results_.gameOver) {
        quit = AddButton("QuitButton", "QuitButton2", 0.0f, -53.0f + s, rect(-100, 45, 100, 85), group, new QuitControl,
                         {ToggleGroup(ControlGroup::kPauseButtons), ConfirmSound()});
    } else {
        quit = AddButton("QuitButton", "QuitButton2", 0.0f, -108.0f + s, rect(-100, 95, 100, 135), group,
                         new QuitControl, {ToggleGroup(ControlGroup::kPauseButtons), ConfirmSound()});
        if (nextLevel_ < levels_.size())
            next = AddButton("continue_noglow", "continue_glow", 1.0f, -53.0f + s, rect(-100, 45, 100, 85), group,
                             new LoadSceneControl(MakeSceneFileName(levels_[nextLevel_]), true,
                                                  {ToggleGroup(ControlGroup::kPauseKey), new NextLevelAction}),
                             {ConfirmSound()});
    }
    AddCursor();
    if (next) drawList_.push_back(next->GetId());
    drawList_.push_back(quit->GetId());
    drawList_.push_back(restart->GetId());
    drawList_.push_back(panel->GetId());
}

void FinMenu::PlaceLabels() {
    const Overlord* overlord = Overlord::Instance();
    for (size_t i = 0; i < labels_.size() && i < labelY_.size(); ++i) {
        GameObject* label = overlord ? overlord->GetGameObject(labels_[i]) : nullptr;
        Transform* transform = label ? label->GetComponent<Transform>() : nullptr;
        if (!transform) continue;
        transform->position.y = transform->worldPosition.y = labelY_[i] + shift_;
        transform->Update(0.0f);
    }
}

void FinMenu::Deactivate() {
    ISystem* pause = GameFlow::Find<PauseMenu>();
    GameFlow::Show(pause);
    UnsubscribeAll();
    DestroyMenuObjects();
    drawList_.clear();
    GameFlow::FlipPaused(pause);
}

void FinMenu::AdvanceNextLevel() {
    if (results_.gameOver || levels_.empty()) return;
    if (nextLevel_ + 1 < levels_.size()) ++nextLevel_;
}
