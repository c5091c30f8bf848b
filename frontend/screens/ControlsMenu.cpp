#include "frontend/screens/ControlsMenu.h"

#include "engine/MessageTypes.h"
#include "frontend/controls/ControlGroups.h"
#include "frontend/controls/GameFlow.h"
#include "frontend/controls/MenuToggleControl.h"

class PauseMenu;
class StartMenu;

ControlsMenu::ControlsMenu() : MenuScreen(TypeId<ControlsMenu>::Get(), "ControlsMenu") {}

void ControlsMenu::Init() {
    MenuScreen::Init();
    GameFlow::SwitchGroup(kMsgDisableGroup, ControlGroup::kBackToPause, GetTypeId());
    GameFlow::SwitchGroup(kMsgDisableGroup, ControlGroup::kBackToStart, GetTypeId());
}

void ControlsMenu::Build() {
    AddPicture("HowtoPlay", 500.0f, 281.25f, 0.0f, 0.0f);
    const ButtonRect back{-100, 265, 100, 305};
    GameObject* button = AddButton("BackButton", "BackButton2", 0.0f, -270.0f, back, ControlGroup::kBackToStart,
                                   new MenuToggleControl(GameFlow::Find<StartMenu>(), this, ControlGroup::kStartButtons,
                                                         ControlGroup::kBackToStart),
                                   {ConfirmSound()});
    AddButtonControls(button, back, "BackButton", "BackButton2", ControlGroup::kBackToPause,
                      new MenuToggleControl(GameFlow::Find<PauseMenu>(), this, ControlGroup::kPauseButtons,
                                            ControlGroup::kBackToPause),
                      {ConfirmSound(), ToggleGroup(ControlGroup::kPauseKey)});
    AddCursor();
}
