#include "frontend/screens/ControlsMenu.h"

#include "engine/MessageTypes.h"
#include "frontend/controls/ControlGroups.h"
#include "frontend/controls/GameFlow.h"

ControlsMenu::ControlsMenu() : MenuScreen(TypeId<ControlsMenu>::Get(), "ControlsMenu") {}

void ControlsMenu::Init() {
    MenuScreen::Init();
    GameFlow::SwitchGroup(kMsgDisableGroup, ControlGroup::kBackToPause, GetTypeId());
    GameFlow::SwitchGroup(kMsgDisableGroup, ControlGroup::kBackToStart, GetTypeId());
}

void ControlsMenu::Build() {
    AddPicture("HowtoPlay", 500.0f, 281.25f, 0.0f, 0.0f);
    AddBackButtons();
    AddCursor();
}
