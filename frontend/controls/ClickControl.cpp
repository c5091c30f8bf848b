#include "frontend/controls/ClickControl.h"

#include "controls/DoAlwaysTrigger.h"

ClickControl::ClickControl(const char* name) : Control(name, kCategoryAlways) {
    AddDeactivateTrigger(new DoAlwaysTrigger);
}
