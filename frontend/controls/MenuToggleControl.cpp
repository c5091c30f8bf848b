#include "frontend/controls/MenuToggleControl.h"

#include "engine/MessageTypes.h"
#include "frontend/controls/GameFlow.h"

MenuToggleControl::MenuToggleControl(ISystem* toActivate, ISystem* toDeactivate, u32 groupOn, u32 groupOff)
    : ClickControl("MenuToggleControl"),
      toActivate_(toActivate),
      toDeactivate_(toDeactivate),
      groupOn_(groupOn),
      groupOff_(groupOff) {}

void MenuToggleControl::OnActivate() {
    GameFlow::Show(toActivate_);
    GameFlow::Hide(toDeactivate_);
    GameFlow::SwitchGroup(kMsgEnableGroup, groupOn_, GetId());
    GameFlow::SwitchGroup(kMsgDisableGroup, groupOff_, GetId());
}
