#include "frontend/screens/PauseMenu.h"

#include "controls/GuiSystem.h"
#include "controls/KeyTrigger.h"
#include "engine/GameObject.h"
#include "engine/Message.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "frontend/controls/ControlGroups.h"
#include "frontend/controls/GameFlow.h"
#include "frontend/controls/MenuToggleControl.h"
#include "frontend/controls/PauseToggleControl.h"
#include "frontend/controls/QuitControl.h"
#include "frontend/controls/RestartControl.h"
#include "frontend/screens/MenuScreen.h"
#include "port/window/Cursor.h"

class ControlsMenu;
class OptionsMenu;

PauseMenu::PauseMenu() : ISystem(TypeId<PauseMenu>::Get()) {
    SetName("PauseMenu");
    SetActive(true);
    SetPausedFlag(true);
}

void PauseMenu::HandleMessage(Message* message) {
    if (const ClientRect* rect = message ? message->Read(kMsgClientRect) : nullptr) screenRect_ = *rect;
}

std::vector<u32> PauseMenu::GetDrawnObjects() const {
    return {titleId_, resumeId_, optionsId_, controlsId_, restartId_, quitId_, cursorId_};
}

void PauseMenu::Update(float) {
    if (IsPaused()) return;
    for (u32 id : GetDrawnObjects()) DrawObjectOnce(id);
}

void PauseMenu::Activate() {
    SubscribeAll();
}

void PauseMenu::Deactivate() {
    UnsubscribeAll();
}

void PauseMenu::Init() {
    Subscribe(kMsgClientRect);
    const u32 gui = TypeId<GuiSystem>::Get();
    const u32 buttons = ControlGroup::kPauseButtons;
    GameFlow::SwitchGroup(kMsgDisableGroup, buttons, GetTypeId());

    // The pause key toggles the buttons' group itself, only when it pauses or resumes.
    auto* escape = new PauseToggleControl(buttons);
    escape->SetGroup(ControlGroup::kPauseKey);
    escape->AddActivateTrigger(new KeyTrigger(kEscapeKey, KeyTrigger::kModeReleased, false));
    SendToSystem(kMsgAddControl, gui, GetTypeId(), static_cast<void*>(escape));

    titleId_ = MenuScreen::MakePicture("paused", 160.0f, 80.0f, 0.0f, 250.0f)->GetId();
    auto button = [&](const char* normal, const char* hover, float y, const ButtonRect& rect, Control* click,
                      std::initializer_list<ControlAction*> actions) {
        GameObject* object =
            MenuScreen::MakePicture(normal, MenuScreen::kButtonHalfWidth, MenuScreen::kButtonHalfHeight, 0.0f, y);
        MenuScreen::MakeButtonControls(*this, object, rect, normal, hover, buttons, click, actions);
        return object->GetId();
    };
    auto confirm = [] { return MenuScreen::MakeSoundAction(MenuScreen::kConfirmSound); };
    auto toggleKey = [this] { return MenuScreen::MakeGroupToggle(GetTypeId(), ControlGroup::kPauseKey); };
    const u32 back = ControlGroup::kBackToPause;
    resumeId_ = button("ResumeButton", "ResumeButton2", 100.0f, {-100, -105, 100, -65}, new PauseToggleControl(buttons),
                       {confirm()});
    restartId_ = button("RestartButton", "RestartButton2", 50.0f, {-100, -55, 100, -15}, new RestartControl(buttons),
                        {confirm()});
    controlsId_ =
        button("ControlsButton", "ControlsButton2", 0.0f, {-100, -5, 100, 35},
               new MenuToggleControl(GameFlow::Find<ControlsMenu>(), this, back, buttons), {confirm(), toggleKey()});
    optionsId_ =
        button("OptionsButton", "OptionsButton2", -50.0f, {-100, 45, 100, 85},
               new MenuToggleControl(GameFlow::Find<OptionsMenu>(), this, back, buttons), {confirm(), toggleKey()});
    quitId_ = button("QuitButton", "QuitButton2", -100.0f, {-100, 95, 100, 145}, new QuitControl,
                     {MenuScreen::MakeGroupToggle(GetTypeId(), buttons), confirm()});

    GameObject* cursor = MenuScreen::MakeCursorPicture();
    cursorId_ = cursor->GetId();
    SendToSystem(kMsgAddControl, gui, GetTypeId(), static_cast<void*>(MenuScreen::MakeCursorControl(cursorId_)));
    Broadcast(kMsgOverlayObject, cursorId_);
    SetCursor(nullptr);
}
