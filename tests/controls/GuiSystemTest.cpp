#include "controls/GuiSystem.h"

#include "controls/DoAlwaysTrigger.h"
#include "controls/InvertTriggerLogic.h"
#include "controls/MessageAction.h"
#include "port/math/D3DXMatrix.h"
#include "tests/controls/ControlsTestSupport.h"

class Camera;

namespace {

using GuiSystemTest = ControlsFixture;

ProbeControl* Add(GuiSystem* gui, const char* name, u32 category, u32 group = 0,
                  std::vector<std::string>* journal = nullptr) {
    auto* control = new ProbeControl(name, category, journal);
    control->SetGroup(group);
    gui->AddControl(control);
    return control;
}

void Send(const Kind<u32>& kind, u32 value) {
    ::Broadcast(kind, 0, value);
}

TEST_F(GuiSystemTest, CategoriesRunAlwaysThenCapturingThenNormal) {
    std::vector<std::string> journal;
    Add(gui, "normal", 1, 0, &journal);
    Add(gui, "capturing", 0, 0, &journal);
    Add(gui, "always", 2, 0, &journal);
    Frame();
    EXPECT_EQ((std::vector<std::string>{"always update", "capturing update", "normal update"}), journal);
}

TEST_F(GuiSystemTest, DisabledGroupSkipsControlButNotCapturedOne) {
    bool go = false;
    ProbeControl* normal = Add(gui, "normal", 1, 3);
    ProbeControl* capturing = Add(gui, "capturing", 0, 3);
    capturing->AddActivateTrigger(new SwitchTrigger(&go));
    Send(kMsgDisableGroup, 3u);
    EXPECT_FALSE(gui->IsGroupEnabled(3));
    Frame();
    EXPECT_EQ(0, normal->updates);
    EXPECT_EQ(0, capturing->updates);
    // Captured while its group was on, it keeps running after the group goes off.
    Send(kMsgEnableGroup, 3u);
    go = true;
    Frame();
    EXPECT_EQ(gui->GetCaptured(), capturing);
    Send(kMsgDisableGroup, 3u);
    Frame();
    EXPECT_EQ(2, capturing->updates);
}

TEST_F(GuiSystemTest, GroupZeroAndGroupsAboveNineCannotBeSwitched) {
    Send(kMsgToggleGroup, 0u);
    Send(kMsgDisableGroup, 0u);
    EXPECT_TRUE(gui->IsGroupEnabled(0));
    Send(kMsgEnableGroup, 12u);
    Send(kMsgDisableGroup, 12u);
    EXPECT_FALSE(gui->IsGroupEnabled(12));
    Send(kMsgToggleGroup, 5u);
    EXPECT_FALSE(gui->IsGroupEnabled(5));
    Send(kMsgToggleGroup, 5u);
    EXPECT_TRUE(gui->IsGroupEnabled(5));
}

TEST_F(GuiSystemTest, CaptureShutsOutOthersUntilItDeactivates) {
    bool on = false, off = false;
    ProbeControl* always = Add(gui, "always", 2);
    ProbeControl* first = Add(gui, "first", 0);
    ProbeControl* capturing = Add(gui, "capturing", 0);
    ProbeControl* afterIt = Add(gui, "after", 0);
    ProbeControl* normal = Add(gui, "normal", 1);
    capturing->AddActivateTrigger(new SwitchTrigger(&on));
    capturing->AddDeactivateTrigger(new SwitchTrigger(&off));
    on = true;
    Frame();  // captured in this frame: the rest of category 0 and category 1 skipped
    EXPECT_EQ(gui->GetCaptured(), capturing);
    EXPECT_EQ(1, first->updates);
    EXPECT_EQ(0, afterIt->updates);
    EXPECT_EQ(0, normal->updates);
    Frame();
    Frame();
    EXPECT_EQ(3, always->updates);
    EXPECT_EQ(1, first->updates);
    EXPECT_EQ(3, capturing->updates);
    EXPECT_EQ(0, normal->updates);
    off = true;
    on = false;
    Frame();  // deactivates: released, but this pass ends with it
    EXPECT_EQ(nullptr, gui->GetCaptured());
    EXPECT_EQ(0, normal->updates);
    Frame();
    EXPECT_EQ(1, normal->updates);
    EXPECT_EQ(1, afterIt->updates);
}

TEST_F(GuiSystemTest, RemovingUnknownIdChangesNothing) {
    ProbeControl* a = Add(gui, "a", 1);
    ProbeControl* b = Add(gui, "b", 1);
    gui->RemoveControl(999999);
    ASSERT_EQ(2u, gui->GetControls(1).size());
    EXPECT_EQ(a, gui->GetControls(1)[0]);
    EXPECT_EQ(b, gui->GetControls(1)[1]);
}

TEST_F(GuiSystemTest, RemoveByMessageMovesLastIntoPlaceAndDeletesControl) {
    bool deleted = false;
    ProbeControl* a = Add(gui, "a", 1);
    Add(gui, "b", 1);
    ProbeControl* c = Add(gui, "c", 1);
    a->onDelete = [&] { deleted = true; };
    const u32 id = a->GetId();
    PostToSystem(kMsgRemoveControl, TypeId<GuiSystem>::Get(), 0, id);
    services.hub->DispatchQueued();
    EXPECT_EQ(nullptr, gui->FindControl(id));
    EXPECT_EQ(c, gui->GetControls(1)[0]);
    Frame();
    EXPECT_TRUE(deleted);
}

TEST_F(GuiSystemTest, CategoryOutsideRangeRefusedAndDuplicateKeptOnce) {
    bool deleted = false;
    auto* bad = new ProbeControl("bad", 3);
    bad->onDelete = [&] { deleted = true; };
    const u32 badId = bad->GetId();
    gui->AddControl(bad);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(nullptr, gui->FindControl(badId));
    ProbeControl* a = Add(gui, "a", 1);
    gui->AddControl(a);
    EXPECT_EQ(1u, gui->GetControls(1).size());
    gui->AddControl(nullptr);
}

TEST_F(GuiSystemTest, AddControlMessageTakesOwnership) {
    auto* control = new ProbeControl("menu", 1);
    SendToSystem(kMsgAddControl, TypeId<GuiSystem>::Get(), 0, control);
    EXPECT_EQ(control, gui->FindControl(control->GetId()));
    Frame();
    EXPECT_EQ(1, control->updates);
}

TEST_F(GuiSystemTest, ControlRemovingItselfDuringItsUpdateIsNotFreedUnderIt) {
    ProbeControl* self = Add(gui, "self", 1);
    ProbeControl* next = Add(gui, "next", 1);
    bool deleted = false;
    self->onDelete = [&] { deleted = true; };
    self->onUpdate = [&] {
        // Delivered at once while the control runs.
        SendToSystem(kMsgRemoveControl, TypeId<GuiSystem>::Get(), 0, self->GetId());
        EXPECT_FALSE(deleted);
        self->SetGroup(0);  // touches the control after its removal
    };
    Frame();
    EXPECT_FALSE(deleted);
    EXPECT_EQ(1, next->updates);  // not skipped
    Frame();
    EXPECT_TRUE(deleted);
    EXPECT_EQ(2, next->updates);
}

TEST_F(GuiSystemTest, RemovingEarlierOrLaterControlsDuringWalkSkipsNoOther) {
    ProbeControl* a = Add(gui, "a", 1);
    ProbeControl* b = Add(gui, "b", 1);
    ProbeControl* c = Add(gui, "c", 1);
    ProbeControl* d = Add(gui, "d", 1);
    ProbeControl* e = Add(gui, "e", 1);
    const u32 aId = a->GetId(), dId = d->GetId();
    b->onUpdate = [&] {
        gui->RemoveControl(aId);  // already visited
        gui->RemoveControl(dId);  // not yet visited: never runs
    };
    Frame();
    EXPECT_EQ(1, c->updates);
    EXPECT_EQ(1, e->updates);
    b->onUpdate = nullptr;
    Frame();
    EXPECT_EQ(2, c->updates);
    EXPECT_EQ(2, e->updates);
    EXPECT_EQ(3u, gui->GetControls(1).size());
}

TEST_F(GuiSystemTest, ControlAddedDuringWalkJoinsSafely) {
    ProbeControl* adder = Add(gui, "adder", 1);
    ProbeControl* added = nullptr;
    adder->onUpdate = [&] {
        if (added) return;
        // Enough to make the list grow its storage.
        for (int i = 0; i < 20; ++i) Add(gui, "filler", 2);
        added = Add(gui, "added", 1);
    };
    Frame();
    ASSERT_NE(nullptr, added);
    EXPECT_EQ(1, added->updates);  // visited in the same pass
    Frame();
    EXPECT_EQ(2, added->updates);
    EXPECT_EQ(2, adder->updates);
}

TEST_F(GuiSystemTest, CapturedControlRemovedReleasesCapture) {
    ProbeControl* capturing = Add(gui, "capturing", 0);
    capturing->AddActivateTrigger(new DoAlwaysTrigger());
    ProbeControl* normal = Add(gui, "normal", 1);
    Frame();
    ASSERT_EQ(capturing, gui->GetCaptured());
    capturing->onUpdate = [&] { gui->RemoveControl(capturing->GetId()); };
    Frame();
    EXPECT_EQ(nullptr, gui->GetCaptured());
    Frame();
    EXPECT_EQ(1, normal->updates);
}

TEST_F(GuiSystemTest, KeepsRectMatricesAndCamera) {
    SetScreen(640, 480);
    EXPECT_EQ(640, gui->GetScreenRect().right);
    D3DXMATRIX view;
    view._41 = 7.0f;
    ::Broadcast(kMsgViewMatrix, 0, &view);
    D3DXMATRIX projection;
    projection._11 = 2.0f;
    ::Broadcast(kMsgProjectionMatrix, 0, &projection);
    view._41 = 0.0f;  // copies, not references
    EXPECT_EQ(7.0f, gui->GetViewMatrix()._41);
    EXPECT_EQ(2.0f, gui->GetProjectionMatrix()._11);
    ::Broadcast(ComponentAnnounced(TypeId<Camera>::Get()), 0, 55u);
    EXPECT_EQ(55u, gui->GetCameraId());
}

TEST_F(GuiSystemTest, DestructorDeletesEveryControl) {
    int deleted = 0;
    Add(gui, "a", 0)->onDelete = [&] { ++deleted; };
    Add(gui, "b", 1)->onDelete = [&] { ++deleted; };
    ProbeControl* c = Add(gui, "c", 2);
    c->onDelete = [&] { ++deleted; };
    gui->RemoveControl(c->GetId());  // removed, not yet deleted
    services.engine->RemoveSystem(gui);
    EXPECT_EQ(3, deleted);
}

TEST_F(GuiSystemTest, GroupMessageFromAnActionDuringThePass) {
    ProbeControl* toggler = Add(gui, "toggler", 2);
    toggler->AddActivateTrigger(new DoAlwaysTrigger());
    toggler->AddActivateAction(new MessageAction<u32>(0, kMsgDisableGroup, 4u));
    ProbeControl* gated = Add(gui, "gated", 1, 4);
    Frame();
    EXPECT_FALSE(gui->IsGroupEnabled(4));
    EXPECT_EQ(0, gated->updates);
}

}  // namespace
