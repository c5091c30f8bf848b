#include "frontend/screens/CreditsMenu.h"

#include "engine/MessageTypes.h"
#include "frontend/controls/ControlGroups.h"
#include "frontend/controls/GameFlow.h"
#include "frontend/controls/MenuToggleControl.h"

class StartMenu;

CreditsMenu::CreditsMenu() : MenuScreen(TypeId<CreditsMenu>::Get(), "CreditsMenu") {}

void CreditsMenu::Init() {
    MenuScreen::Init();
    GameFlow::SwitchGroup(kMsgDisableGroup, ControlGroup::kBackToPause, GetTypeId());
    GameFlow::SwitchGroup(kMsgDisableGroup, ControlGroup::kBackToStart, GetTypeId());
}

void CreditsMenu::Build() {
    AddPicture("Credits", 500.0f, 281.25f, 0.0f, 40.0f);
    AddButton("BackButton", "BackButton2", 0.0f, -270.0f, {-100, 265, 100, 305}, ControlGroup::kBackToStart,
              new MenuToggleControl(GameFlow::Find<StartMenu>(), this, ControlGroup::kStartButtons,
                                    ControlGroup::kBackToStart),
              {ConfirmSound()});
    AddCursor();
}
