#include "controls/Control.h"

#include "controls/DoAlwaysTrigger.h"
#include "controls/E3BasisVecs.h"
#include "controls/InvertTriggerLogic.h"
#include "controls/KeyTrigger.h"
#include "controls/LogicalAnd.h"
#include "controls/MessageAction.h"
#include "controls/MousePositionTrigger.h"
#include "controls/MouseTrigger.h"
#include "controls/RenderAction.h"
#include "controls/SetPositionFromMouseAction.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "platform/SoundEventData.h"
#include "tests/controls/ControlsTestSupport.h"

#include <string>

class GraphicsSystem;
class Model;

namespace {

using KeyTriggerTest = ControlsFixture;

TEST_F(KeyTriggerTest, PressedModeHoldsOneFramePerPressAndNotWithCtrl) {
    KeyTrigger space(0x20, KeyTrigger::kModePressed);
    input->KeyPressed(0x20);
    EXPECT_TRUE(space.IsTriggered());
    Frame();
    EXPECT_FALSE(space.IsTriggered());  // still held, no new press
    input->KeyReleased(0x20);
    input->KeyPressed(0x11);
    input->KeyPressed(0x20);
    EXPECT_FALSE(space.IsTriggered());  // Ctrl held and not asked for
    KeyTrigger ctrlSpace(0x20, KeyTrigger::kModePressed, true);
    EXPECT_TRUE(ctrlSpace.IsTriggered());
}

TEST_F(KeyTriggerTest, HeldWithCtrlOnlyWhileBothHeld) {
    KeyTrigger ctrlS(0x53, KeyTrigger::kModeHeld, true);
    input->KeyPressed(0x53);
    EXPECT_FALSE(ctrlS.IsTriggered());
    input->KeyPressed(0x11);
    EXPECT_TRUE(ctrlS.IsTriggered());
    input->KeyReleased(0x53);
    EXPECT_FALSE(ctrlS.IsTriggered());
}

TEST_F(KeyTriggerTest, UpAndReleasedModes) {
    KeyTrigger up(0x41, KeyTrigger::kModeUp);
    KeyTrigger released(0x41, KeyTrigger::kModeReleased);
    KeyTrigger unknown(0x41, 9);
    EXPECT_TRUE(up.IsTriggered());
    EXPECT_FALSE(released.IsTriggered());
    input->KeyPressed(0x41);
    EXPECT_FALSE(up.IsTriggered());
    input->KeyReleased(0x41);
    EXPECT_TRUE(released.IsTriggered());
    EXPECT_FALSE(unknown.IsTriggered());
}

TEST_F(KeyTriggerTest, KeyLetGoWhileCtrlIsHeldStillEndsItsControl) {
    // W moves while held; Ctrl goes down, then W comes up.
    Control move;
    move.AddActivateTrigger(new KeyTrigger(0x57, KeyTrigger::kModeHeld));
    move.AddDeactivateTrigger(new KeyTrigger(0x57, KeyTrigger::kModeUp));
    KeyTrigger released(0x57, KeyTrigger::kModeReleased);
    KeyTrigger ctrlUp(0x57, KeyTrigger::kModeUp, true);
    input->KeyPressed(0x57);
    move.Update(0.f);
    ASSERT_TRUE(move.IsActive());
    input->KeyPressed(0x11);
    input->KeyReleased(0x57);
    EXPECT_TRUE(released.IsTriggered());
    move.Update(0.f);
    EXPECT_FALSE(move.IsActive());
    EXPECT_TRUE(ctrlUp.IsTriggered());
    input->KeyReleased(0x11);
    EXPECT_FALSE(ctrlUp.IsTriggered());  // needs Ctrl: still gated by it
}

TEST_F(KeyTriggerTest, TriggerOnLeftCtrlItselfHoldsWhileItIsHeld) {
    // Ctrl+Z: Z pressed with Ctrl, and left Ctrl held.
    KeyTrigger z(0x5A, KeyTrigger::kModePressed, true);
    KeyTrigger leftCtrl(0xA2, KeyTrigger::kModeHeld);
    input->KeyPressed(0x11);
    input->KeyPressed(0xA2);
    input->KeyPressed(0x5A);
    EXPECT_TRUE(leftCtrl.IsTriggered());
    EXPECT_TRUE(z.IsTriggered());
}

using MouseTriggerTest = ControlsFixture;

TEST_F(MouseTriggerTest, ModesOfTheLeftButton) {
    MouseTrigger down(0, 0), down2(0, 2), released(0, 1), up(0, 3), never(0, 4), dragged(0, 5);
    EXPECT_TRUE(up.IsTriggered());
    input->ButtonDown(0, 1, 1);
    EXPECT_TRUE(down.IsTriggered());
    EXPECT_TRUE(down2.IsTriggered());
    EXPECT_FALSE(dragged.IsTriggered());
    input->MouseMoved(2, 2, 1);
    EXPECT_TRUE(dragged.IsTriggered());
    Frame();
    input->ButtonUp(0);
    EXPECT_TRUE(released.IsTriggered());
    EXPECT_TRUE(up.IsTriggered());
    EXPECT_FALSE(never.IsTriggered());
    Frame();
    EXPECT_FALSE(released.IsTriggered());
}

using MousePositionTriggerTest = ControlsFixture;

TEST_F(MousePositionTriggerTest, RectangleRelativeToScreenCentreTopLeftInclusive) {
    SetScreen(800, 600);
    // A button at (0, 100) on screen: rectangle (-100, -105, 100, -65).
    MousePositionTrigger button(-100, -105, 100, -65);
    auto at = [&](i32 x, i32 y) {
        input->MouseMoved(x, y, 0);
        return button.IsTriggered();
    };
    EXPECT_TRUE(at(300, 195));   // top-left corner
    EXPECT_TRUE(at(499, 234));   // just inside bottom-right
    EXPECT_FALSE(at(500, 234));  // right edge
    EXPECT_FALSE(at(300, 235));  // bottom edge
    EXPECT_FALSE(at(299, 200));
    EXPECT_FALSE(at(400, 194));
    InvertTriggerLogic outside(button.Clone());
    EXPECT_FALSE(at(400, 194));
    EXPECT_TRUE(outside.IsTriggered());
    input->MouseMoved(400, 200, 0);
    EXPECT_FALSE(outside.IsTriggered());
}

TEST_F(MousePositionTriggerTest, FollowsTheLatestScreenRectAndSetRect) {
    MousePositionTrigger centre(-10, -10, 10, 10);
    SetScreen(200, 100);
    input->MouseMoved(100, 50, 0);
    EXPECT_TRUE(centre.IsTriggered());
    SetScreen(400, 100);
    EXPECT_FALSE(centre.IsTriggered());
    centre.SetRect(-110, -10, -90, 10);
    EXPECT_TRUE(centre.IsTriggered());
    float l = -10, t = -10, r = 10, b = 10;
    u32 bits[4];
    std::memcpy(bits + 0, &l, 4);
    std::memcpy(bits + 1, &t, 4);
    std::memcpy(bits + 2, &r, 4);
    std::memcpy(bits + 3, &b, 4);
    centre.SetRectBits(bits[0], bits[1], bits[2], bits[3]);
    EXPECT_EQ(-10.0f, centre.GetLeft());
    EXPECT_EQ(10.0f, centre.GetBottom());
}

TEST(LogicalAndTest, SecondAskedOnlyWhenFirstHoldsAndClonesAreDeep) {
    bool first = false, second = true;
    int askedFirst = 0, askedSecond = 0;
    LogicalAnd* both = MakeLogicalAnd(SwitchTrigger(&second, &askedSecond));
    both->SetFirst(new SwitchTrigger(&first, &askedFirst));
    EXPECT_FALSE(both->IsTriggered());
    EXPECT_EQ(0, askedSecond);
    first = true;
    EXPECT_TRUE(both->IsTriggered());
    EXPECT_EQ(1, askedSecond);
    ControlTrigger* copy = both->Clone();
    delete both;  // the clone owns operands of its own
    EXPECT_TRUE(copy->IsTriggered());
    delete copy;
    InvertTriggerLogic invertNothing(nullptr);
    EXPECT_TRUE(invertNothing.IsTriggered());
}

using ControlUpdateTest = ControlsFixture;

TEST_F(ControlUpdateTest, SwitchActionsThenStateThenPerFrameActionsOfNewState) {
    std::vector<std::string> journal;
    bool go = false;
    ProbeControl control("c", 1, &journal);
    control.AddActivateTrigger(new SwitchTrigger(&go));
    control.AddActivateAction(new NoteAction(&journal, "on action"));
    control.AddActiveAction(new NoteAction(&journal, "active action"));
    control.AddInactiveAction(new NoteAction(&journal, "inactive action"));
    control.Update(0);
    EXPECT_EQ((std::vector<std::string>{"c update", "inactive action"}), journal);
    journal.clear();
    go = true;
    control.Update(0);
    EXPECT_EQ((std::vector<std::string>{"on action", "c activate", "c update", "active action"}), journal);
    EXPECT_TRUE(control.IsActive());
    // No deactivation trigger: it never switches back.
    journal.clear();
    go = false;
    control.Update(0);
    EXPECT_TRUE(control.IsActive());
}

TEST_F(ControlUpdateTest, DoAlwaysDeactivationGivesOneActiveUpdatePerSwitch) {
    std::vector<std::string> journal;
    bool go = true;
    ProbeControl control("click", 2, &journal);
    control.AddActivateTrigger(new SwitchTrigger(&go));
    control.AddDeactivateTrigger(new DoAlwaysTrigger());
    control.AddActivateAction(new NoteAction(&journal, "fire"));
    control.Update(0);
    EXPECT_TRUE(control.IsActive());
    control.Update(0);
    EXPECT_FALSE(control.IsActive());
    EXPECT_EQ(1, control.activations);
    EXPECT_EQ(1, control.deactivations);
    control.Update(0);  // ready to switch again
    EXPECT_TRUE(control.IsActive());
    EXPECT_EQ(2, std::count(journal.begin(), journal.end(), "fire"));
}

TEST_F(ControlUpdateTest, AllAwaitedTriggersMustHoldAskedInOrderUntilOneFails) {
    bool a = true, b = false, c = true;
    int askedC = 0;
    ProbeControl control("c", 1);
    control.AddActivateTrigger(new SwitchTrigger(&a));
    control.AddActivateTrigger(new SwitchTrigger(&b));
    control.AddActivateTrigger(new SwitchTrigger(&c, &askedC));
    control.Update(0);
    EXPECT_FALSE(control.IsActive());
    EXPECT_EQ(0, askedC);
    b = true;
    control.Update(0);
    EXPECT_TRUE(control.IsActive());
}

TEST_F(ControlUpdateTest, MessagesGoToOnMessageStateActionsAndAwaitedTriggers) {
    std::vector<std::string> journal;
    bool go = false;
    ProbeControl control("c", 1, &journal);
    auto* awaited = new SwitchTrigger(&go);
    auto* later = new SwitchTrigger(&go);
    control.AddActivateTrigger(awaited);
    control.AddDeactivateTrigger(later);
    control.AddActiveAction(new NoteAction(&journal, "active"));
    control.AddInactiveAction(new NoteAction(&journal, "inactive"));
    Message message;
    control.HandleMessage(&message);
    EXPECT_EQ((std::vector<std::string>{"c message", "inactive message"}), journal);
    EXPECT_EQ(1, awaited->messages);
    EXPECT_EQ(0, later->messages);
}

TEST_F(ControlUpdateTest, SubscriptionReachesControlThroughGuiSystemUntilRemoved) {
    std::vector<std::string> journal;
    auto* control = new ProbeControl("c", 1, &journal);
    control->Subscribe(kMsgSelectedObject);
    gui->AddControl(control);
    ::Broadcast(kMsgSelectedObject, 0, 5u);
    EXPECT_EQ(1u, journal.size());
    EXPECT_EQ(control, GuiSystem::ResolveControl(control->GetId()));
    const u32 id = control->GetId();
    gui->RemoveControl(id);
    EXPECT_EQ(nullptr, GuiSystem::ResolveControl(id));
    ::Broadcast(kMsgSelectedObject, 0, 5u);
    EXPECT_EQ(1u, journal.size());
}

using ControlActionTest = ControlsFixture;

TEST_F(ControlActionTest, MessageActionDeliversSamePayloadToEverySubscriber) {
    MessageRecorder first(800001), second(800002);
    first.Watch(35, 3, 4);
    second.Watch(35, 3, 4);
    MessageAction<u32> action(77, Kind<u32>{35, 3}, 12345u);
    EXPECT_TRUE(action.Execute());
    ASSERT_EQ(1u, first.received.size());
    ASSERT_EQ(1u, second.received.size());
    EXPECT_EQ(12345u, first.received[0].As<u32>());
    EXPECT_EQ(12345u, second.received[0].As<u32>());
    EXPECT_EQ(77u, first.received[0].sender);
    ControlAction* copy = action.Clone();
    static_cast<MessageAction<u32>*>(copy)->SetArgument(4);
    copy->Execute();  // nobody subscribed to the new argument: nothing happens
    delete copy;
    EXPECT_EQ(1u, first.received.size());
}

TEST_F(ControlActionTest, RenderActionSendsDrawOnceOrUnblendedToGraphics) {
    // A stand-in receiving as the GraphicsSystem's type id.
    struct FakeGraphics : ISystem {
        FakeGraphics() : ISystem(TypeId<GraphicsSystem>::Get()) {}
        void HandleMessage(Message* m) override {
            const u32* id = m->Read(Kind<u32>{m->type, m->argument});
            seen.push_back({m->type, m->argument, id ? *id : 0, m->sender});
        }
        void Update(float) override {}
        void Init() override {}
        void Clear() override {}
        void Activate() override {}
        void Deactivate() override {}
        std::vector<std::vector<u32>> seen;
    };
    auto* graphics = new FakeGraphics();
    services.engine->AddSystem(graphics);
    RenderAction once(42, 0, 0);
    EXPECT_FALSE(once.Execute());
    RenderAction unblended(43, 9, 2);
    unblended.Execute();
    ASSERT_EQ(2u, graphics->seen.size());
    EXPECT_EQ((std::vector<u32>{10, TypeId<Model>::Get(), 42, TypeId<GuiSystem>::Get()}), graphics->seen[0]);
    EXPECT_EQ((std::vector<u32>{49, 9, 43, TypeId<GuiSystem>::Get()}), graphics->seen[1]);
}

TEST_F(ControlActionTest, SoundEventActionIsThePlaySoundEventDeepCopiedPerDelivery) {
    std::vector<std::string> names;
    std::vector<float> volumes;
    MessageRecorder audio(800003);
    audio.Watch(1, 17);
    audio.onMessage = [&](Message* m) {
        const SoundEventData* sound = m->Read(kMsgPlaySound);
        ASSERT_NE(sound, nullptr);
        names.push_back(sound->name);
        volumes.push_back(sound->volume);
    };
    MessageAction<SoundEventData> select(5, SoundEventData{"menu_select", {}, {}, 0.5f, false, 0});
    EXPECT_EQ(1u, select.GetType());
    EXPECT_EQ(17u, select.GetArgument());
    ControlAction* copy = select.Clone();
    select.Execute();
    delete copy->Clone();
    copy->Execute();
    delete copy;
    EXPECT_EQ((std::vector<std::string>{"menu_select", "menu_select"}), names);
    EXPECT_EQ((std::vector<float>{0.5f, 0.5f}), volumes);
    EXPECT_EQ(5u, audio.received[0].sender);
}

TEST_F(ControlActionTest, AxisAndWindowSizePayloads) {
    MessageRecorder editor(800004);
    editor.Watch(32, 18, 4);
    editor.Watch(1, 22, 8);
    MessageAction<E3BasisVecs> axis(9, kMsgAxisLock, E3BasisY);
    axis.Execute();
    MessageAction<D3DXVECTOR2> size(9, kMsgSetWindowSize, D3DXVECTOR2(800, 600));
    size.SetPayload(1280.0f, 720.0f);
    size.Execute();
    ASSERT_EQ(2u, editor.received.size());
    EXPECT_EQ(1u, editor.received[0].As<u32>());
    EXPECT_EQ(1280.0f, editor.received[1].As<D3DXVECTOR2>().x);
    EXPECT_EQ(720.0f, editor.received[1].As<D3DXVECTOR2>().y);
}

TEST_F(ControlActionTest, SetPositionFromMousePlacesTransformFromScreenCentre) {
    auto graveyard = std::make_unique<Graveyard>();
    auto overlord = std::make_unique<Overlord>();
    SetScreen(800, 601);
    auto* object = new GameObject();
    auto* transform = new Transform();
    object->AddComponent(transform);
    SetPositionFromMouseAction action(object->GetId());
    input->MouseMoved(500, 100, 0);
    EXPECT_FALSE(action.Execute());
    EXPECT_FLOAT_EQ(100.0f, transform->position.x);  // 500 - 400
    EXPECT_FLOAT_EQ(200.0f, transform->position.y);  // -(100 - 300), y up
    EXPECT_FLOAT_EQ(0.0f, transform->position.z);
    EXPECT_FLOAT_EQ(100.0f, transform->worldPosition.x);
    EXPECT_FLOAT_EQ(200.0f, transform->GetWorldMatrix()._42) << "drawn where it was put";
    SetPositionFromMouseAction nothing(999999);  // no such object: nothing happens
    nothing.Execute();
    overlord->UnregisterGameObject(object->GetId());
    overlord.reset();
    graveyard.reset();
}

}  // namespace
