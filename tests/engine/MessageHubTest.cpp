#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "engine/MessageHub.h"

namespace {

// Counts how often the deleter ran for its payloads.
int g_deleted = 0;
void CountingDeleter(void* payload) {
    ++g_deleted;
    DeletePayload(payload);
}

Message CountedMessage(MessageResolver resolver, u32 target, u32 type, u32 argument) {
    Message m = MakeMessage(resolver, target, 0, type, argument, 7u);
    m.deleter = &CountingDeleter;
    return m;
}

class MessageHubTest : public EngineFixture {
protected:
    void SetUp() override { g_deleted = 0; }
};

TEST_F(MessageHubTest, SubscribersServedInAscendingId) {
    auto* c40 = new ProbeComponent(&journal);
    auto* c7 = new ProbeComponent(&journal);
    auto* c19 = new ProbeComponent(&journal);
    for (auto* c : {c40, c7, c19}) overlord->RegisterComponent(c);
    // Filed largest id first, then smallest, then middle.
    hub->SubscribeResolver(9, 2, c19->GetId(), &ResolveComponent);
    hub->SubscribeResolver(9, 2, c40->GetId(), &ResolveComponent);
    hub->SubscribeResolver(9, 2, c7->GetId(), &ResolveComponent);
    MessageHub::BroadcastFrom(1, 2, 9);
    ASSERT_EQ(journal.seen.size(), 3u);
    EXPECT_LT(journal.seen[0].receiver, journal.seen[1].receiver);
    EXPECT_LT(journal.seen[1].receiver, journal.seen[2].receiver);
}

TEST_F(MessageHubTest, SecondSubscriptionKeepsFirstResolver) {
    auto* c = new ProbeComponent(&journal);
    overlord->RegisterComponent(c);
    hub->SubscribeResolver(3, 1, c->GetId(), &ResolveComponent);
    hub->SubscribeResolver(3, 1, c->GetId(), &ResolveGameObject);  // would resolve to null
    MessageHub::BroadcastFrom(0, 1, 3);
    EXPECT_EQ(journal.seen.size(), 1u);
}

TEST_F(MessageHubTest, QueuedDuringDrainDeliveredSameDrain) {
    auto* c = new ProbeComponent(&journal);
    overlord->RegisterComponent(c);
    int posted = 0;
    c->onMessage = [&](Message* m) {
        if (m->type == 1 && posted++ == 0) PostMessage(0, 2, 0, 5u);
    };
    hub->SubscribeResolver(1, 0, c->GetId(), &ResolveComponent);
    hub->SubscribeResolver(2, 0, c->GetId(), &ResolveComponent);
    hub->SubscribeResolver(3, 0, c->GetId(), &ResolveComponent);
    PostMessage(0, 1, 0, 1u);
    PostMessage(0, 3, 0, 3u);
    hub->DispatchQueued();
    ASSERT_EQ(journal.seen.size(), 3u);
    EXPECT_EQ(journal.seen[0].type, 1u);
    EXPECT_EQ(journal.seen[1].type, 3u);  // queued earlier, delivered first
    EXPECT_EQ(journal.seen[2].type, 2u);
    EXPECT_EQ(hub->QueuedCount(), 0u);
}

TEST_F(MessageHubTest, DeleterRunsOnceForDeadTargetAndNoSubscribers) {
    auto* c = new ProbeComponent(&journal);
    overlord->RegisterComponent(c);
    hub->Post(CountedMessage(&ResolveComponent, c->GetId(), 4, 0));
    overlord->UnregisterComponent(c);              // dies before the drain
    hub->Post(CountedMessage(nullptr, 0, 77, 0));  // nobody subscribed
    hub->DispatchQueued();
    EXPECT_TRUE(journal.seen.empty());
    EXPECT_EQ(g_deleted, 2);

    Message now = CountedMessage(&ResolveComponent, 424242, 4, 0);
    SendNow(now);
    Message cast = CountedMessage(nullptr, 0, 78, 0);
    BroadcastNow(cast);
    EXPECT_EQ(g_deleted, 4);
}

TEST_F(MessageHubTest, DeleterRunsOnceForMessagesLeftAtShutdown) {
    auto* c = new ProbeComponent(&journal);
    overlord->RegisterComponent(c);
    hub->SubscribeResolver(5, 0, c->GetId(), &ResolveComponent);
    hub->Post(CountedMessage(nullptr, 0, 5, 0));
    hub->Post(CountedMessage(&ResolveComponent, c->GetId(), 5, 0));
    PostToSystem(1234, 0, 1, 18, std::string("music"));  // string payload: no leak under ASan
    hub.reset();
    EXPECT_TRUE(journal.seen.empty());
    EXPECT_EQ(g_deleted, 2);
}

TEST_F(MessageHubTest, PayloadIsHeapCopySeenDuringDelivery) {
    auto* c = new ProbeComponent(&journal);
    overlord->RegisterComponent(c);
    u32 value = 0;
    std::string text;
    c->onMessage = [&](Message* m) {
        if (m->type == 48) value = *m->PayloadAs<u32>();
        if (m->type == 32) text = *m->PayloadAs<std::string>();
    };
    u32 original = 99;
    SendToComponent(c->GetId(), 0, 1, original);
    original = 1;
    EXPECT_EQ(value, 99u);
    SendMessage(&ResolveComponent, c->GetId(), 0, 32, 28, std::string("camera"));
    EXPECT_EQ(text, "camera");
}

TEST_F(MessageHubTest, PointerPayloadCarriesFullPointer) {
    auto* c = new ProbeComponent(&journal);
    overlord->RegisterComponent(c);
    void* seen = nullptr;
    c->onMessage = [&](Message* m) { seen = m->PointerPayload(); };
    int target = 0;
    SendMessage(&ResolveComponent, c->GetId(), 0, 34, 0, static_cast<void*>(&target));
    EXPECT_EQ(seen, &target);
}

TEST_F(MessageHubTest, HandlerMayUnsubscribeOthersDuringDelivery) {
    auto* a = new ProbeComponent(&journal);
    auto* b = new ProbeComponent(&journal);
    auto* late = new ProbeComponent(&journal);
    for (auto* c : {a, b, late}) overlord->RegisterComponent(c);
    hub->SubscribeResolver(6, 0, a->GetId(), &ResolveComponent);
    hub->SubscribeResolver(6, 0, b->GetId(), &ResolveComponent);
    a->onMessage = [&](Message*) {
        hub->Unsubscribe(6, 0, a->GetId());
        hub->Unsubscribe(6, 0, b->GetId());
        hub->SubscribeResolver(6, 0, late->GetId(), &ResolveComponent);
    };
    MessageHub::BroadcastFrom(0, 0, 6);
    ASSERT_EQ(journal.seen.size(), 2u);
    EXPECT_EQ(journal.seen[0].receiver, a->GetId());
    EXPECT_EQ(journal.seen[1].receiver, late->GetId());  // b was erased before its turn
}

}  // namespace
