#include <gtest/gtest.h>

#include "EngineTestSupport.h"

namespace {

class ISystemTest : public EngineFixture {
protected:
    ProbeSystem* Make(const char* name) { return new ProbeSystem(NewId(), name, &journal); }
};

TEST_F(ISystemTest, ChildListRunsNewestFirstAndDetachKeepsLinksConsistent) {
    std::unique_ptr<ProbeSystem> parent(Make("Parent"));
    ProbeSystem* a = Make("A");
    ProbeSystem* b = Make("B");
    ProbeSystem* c = Make("C");
    parent->AddSystem(a);
    parent->AddSystem(b);
    parent->AddSystem(c);
    EXPECT_EQ(parent->GetChildHead(), c);
    EXPECT_EQ(c->GetNext(), b);
    EXPECT_EQ(b->GetNext(), a);
    EXPECT_EQ(a->GetPrevious(), b);
    EXPECT_EQ(b->GetParent(), parent.get());

    parent->RemoveSystem(b);  // from the middle
    EXPECT_EQ(parent->GetChildCount(), 2u);
    EXPECT_EQ(c->GetNext(), a);
    EXPECT_EQ(a->GetPrevious(), c);
    parent->RemoveSystem(c);  // the head
    EXPECT_EQ(parent->GetChildHead(), a);
    EXPECT_EQ(a->GetPrevious(), nullptr);
    parent->RemoveSystem(a);
    EXPECT_EQ(parent->GetChildHead(), nullptr);
    EXPECT_EQ(parent->GetChildCount(), 0u);
}

TEST_F(ISystemTest, RemoveSystemIgnoresSystemOfAnotherList) {
    std::unique_ptr<ProbeSystem> first(Make("First"));
    std::unique_ptr<ProbeSystem> second(Make("Second"));
    ProbeSystem* x = Make("X");
    ProbeSystem* y = Make("Y");
    first->AddSystem(x);
    second->AddSystem(y);
    first->RemoveSystem(y);  // not first's: no unlink, no deletion
    EXPECT_EQ(first->GetChildCount(), 1u);
    EXPECT_EQ(second->GetChildCount(), 1u);
    EXPECT_EQ(second->GetChildHead(), y);
    EXPECT_EQ(y->GetParent(), second.get());
    first->RemoveSystem(x);
    second->RemoveSystem(y);
    EXPECT_EQ(journal.events, (std::vector<std::string>{"delete X", "delete Y"}));
}

TEST_F(ISystemTest, UnsubscribeAllThenSubscribeAllRestoresExactlyTheList) {
    auto* engine = new Engine();
    ProbeSystem* s = Make("Listener");
    engine->AddSystem(s);
    constexpr Kind<NoPayload> kSeven{7, 1}, kEight{8, 0}, kNine{9, 0};
    s->Subscribe(kSeven);
    s->Subscribe(kSeven);  // kept twice in the list, filed once
    s->Subscribe(kEight);
    EXPECT_EQ(s->GetSubscriptions().size(), 3u);

    Broadcast(kSeven, 0);
    EXPECT_EQ(journal.seen.size(), 1u);

    s->Deactivate();
    EXPECT_FALSE(hub->IsSubscribed(kSeven, s->GetTypeId()));
    EXPECT_FALSE(hub->IsSubscribed(kEight, s->GetTypeId()));
    Broadcast(kSeven, 0);
    EXPECT_EQ(journal.seen.size(), 1u);
    EXPECT_EQ(s->GetSubscriptions().size(), 3u);

    s->SubscribeAll();
    Broadcast(kEight, 0);
    Broadcast(kSeven, 0);
    EXPECT_EQ(journal.seen.size(), 3u);
    EXPECT_FALSE(hub->IsSubscribed(kNine, s->GetTypeId()));
    delete engine;
}

// The control type handed over; only its id matters here.
struct FakeControl {
    u32 id;
    u32 GetId() const { return id; }
};

TEST_F(ISystemTest, ControlsGoToGuiSystemAtOnceAndComeBackQueued) {
    auto* engine = new Engine();
    auto* gui = new ProbeSystem(TypeId<GuiSystem>::Get(), "GuiSystem", &journal);
    ProbeSystem* owner = Make("Owner");
    engine->AddSystem(gui);
    engine->AddSystem(owner);
    std::vector<void*> handed;
    std::vector<u32> removed;
    gui->onMessage = [&](Message* m) {
        if (void* const* control = m->Read(kMsgAddControl)) handed.push_back(*control);
        if (const u32* id = m->Read(kMsgRemoveControl)) removed.push_back(*id);
    };
    FakeControl first{501}, second{502};
    owner->AddControl(&first);
    owner->AddControl(&second);
    owner->AddControl(static_cast<FakeControl*>(nullptr));
    EXPECT_EQ(handed, (std::vector<void*>{&first, &second}));
    EXPECT_EQ(owner->GetControlIds(), (std::vector<u32>{501, 502}));
    EXPECT_EQ(journal.seen[0].sender, owner->GetTypeId());

    owner->RemoveControls();
    EXPECT_TRUE(removed.empty());
    hub->DispatchQueued();
    EXPECT_EQ(removed, (std::vector<u32>{501, 502}));
    EXPECT_EQ(owner->GetControlIds().size(), 2u);  // the list stays
    delete engine;
}

}  // namespace
