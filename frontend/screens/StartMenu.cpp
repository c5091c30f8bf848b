#include "frontend/screens/StartMenu.h"

#include "engine/GameObject.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "frontend/controls/ControlGroups.h"
#include "frontend/controls/GameFlow.h"
#include "frontend/controls/LoadSceneControl.h"
#include "frontend/controls/MenuToggleControl.h"
#include "frontend/controls/QuitControl.h"
#include "frontend/screens/FinMenu.h"
#include "frontend/screens/SplashScreen.h"
#include "platform/AudioSystem.h"
#include "platform/MusicEventData.h"
#include "port/window/Cursor.h"

class ControlsMenu;
class CreditsMenu;
class OptionsMenu;

StartMenu::StartMenu() : MenuScreen(TypeId<StartMenu>::Get(), "StartMenu") {}

void StartMenu::Activate() {
    SubscribeAll();
    PostToSystem(kMsgPlayMusic, TypeId<AudioSystem>::Get(), GetTypeId(), MusicEventData{music_, kMusicVolume});
    Build();
}

void StartMenu::Build() {
    GameFlow::SwitchGroup(kMsgDisableGroup, ControlGroup::kPauseKey, GetTypeId());
    AddPicture("Title_clean", 700.0f, 390.25f, 0.0f, -100.0f);

    startScene_ = MakeSceneFileName(SplashScreen::GetStartScene(static_cast<FinMenu*>(GameFlow::Find<FinMenu>())));
    const u32 group = ControlGroup::kStartButtons;
    const u32 on = ControlGroup::kBackToStart;
    ISystem* options = GameFlow::Find<OptionsMenu>();
    ISystem* controls = GameFlow::Find<ControlsMenu>();
    ISystem* credits = GameFlow::Find<CreditsMenu>();

    // The buttons are made top-down in the order below but listed (drawn)
    // Credits, Options, Controls, Quit, Play; the controls follow them.
    std::vector<u32> controlIds;
    auto button = [&](const char* normal, const char* hover, float y, const ButtonRect& rect, Control* click,
                      std::initializer_list<ControlAction*> actions) {
        GameObject* object = MakePicture(normal, kButtonHalfWidth, kButtonHalfHeight, 0.0f, y);
        for (u32 id : MakeButtonControls(*this, object, rect, normal, hover, group, click, actions))
            controlIds.push_back(id);
        return object->GetId();
    };
    const u32 play =
        button("PlayButton", "PlayButton2", 50.0f, {-100, -55, 100, -15},
               new LoadSceneControl(startScene_, false, {ToggleGroup(ControlGroup::kPauseKey)}), {ConfirmSound()});
    const u32 optionsButton = button("OptionsButton", "OptionsButton2", -50.0f, {-100, 45, 100, 85},
                                     new MenuToggleControl(options, this, on, group), {ConfirmSound()});
    const u32 controlsButton = button("ControlsButton", "ControlsButton2", 0.0f, {-100, -5, 100, 35},
                                      new MenuToggleControl(controls, this, on, group), {ConfirmSound()});
    const u32 quit = button("QuitButton", "QuitButton2", -150.0f, {-100, 145, 100, 185}, new QuitControl,
                            {ToggleGroup(ControlGroup::kPauseButtons), ConfirmSound()});
    const u32 creditsButton = button("CreditsButton", "CreditsButton2", -100.0f, {-100, 95, 100, 135},
                                     new MenuToggleControl(credits, this, on, group), {ConfirmSound()});
    for (u32 id : {creditsButton, optionsButton, controlsButton, quit, play}) objectList_.push_back(id);
    controlList_.insert(controlList_.end(), controlIds.begin(), controlIds.end());

    AddCursor();
    ShowCursor(false);
}
