#include "editor/links/LinkControls.h"

#include "controls/DoAlwaysTrigger.h"
#include "controls/KeyTrigger.h"
#include "controls/MouseTrigger.h"
#include "editor/links/MultiCloneControl.h"
#include "editor/links/ParentObjectControl.h"
#include "editor/links/SplineBindControl.h"
#include "editor/mode/EditorControlTable.h"

void BuildLinkControls(EditorControlTable& table) {
    // P held and a click (P let go in the frame the click ends counts): the
    // clicked object becomes a child of the selection.
    table.Add(14, [] {
        auto* parent = new ParentObjectControl(true);
        parent->AddActivateTrigger(new MouseTrigger(0, MouseTrigger::kModeReleased));
        parent->AddActivateTrigger(new KeyTrigger(0x50, KeyTrigger::kModeDownInFrame, false));
        parent->AddDeactivateTrigger(new DoAlwaysTrigger());
        return parent;
    });
    // U: the selection leaves its parent (with nothing selected it says so).
    table.Add(15, [] {
        auto* unparent = new ParentObjectControl(false);
        unparent->AddActivateTrigger(new KeyTrigger(0x55, KeyTrigger::kModePressed, false));
        unparent->AddDeactivateTrigger(new DoAlwaysTrigger());
        return unparent;
    });
    // B held and a click on a track: the selected crawler runs on it.
    table.Add(16, [] {
        auto* bind = new SplineBindControl();
        bind->AddActivateTrigger(new KeyTrigger(0x42, KeyTrigger::kModeDownInFrame, false));
        bind->AddActivateTrigger(new MouseTrigger(0, MouseTrigger::kModeReleased));
        bind->AddDeactivateTrigger(new DoAlwaysTrigger());
        return bind;
    });
    table.Add(33, [] { return new MultiCloneControl(); });  // Ctrl+E with an object selected
}
