#include <gtest/gtest.h>

#include <functional>

#include "EngineTestSupport.h"
#include "engine/MessageHub.h"

namespace {

// Kinds of the hub's own tests; the hub knows nothing of the catalogue.
constexpr Kind<u32> kNumber{9, 2};
constexpr Kind<u32> kOther{9, 3};
constexpr Kind<NoPayload> kPlain{3, 1};

// Counts how often the deleter ran for its payloads.
int g_deleted = 0;
void CountingDeleter(void* payload) {
    ++g_deleted;
    DeletePayload(payload);
}

Message CountedMessage(MessageResolver resolver, u32 target, u32 type) {
    Message m = MakeMessage(Kind<u32>{type, 0}, resolver, target, 0, 7u);
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
    c19->Subscribe(kNumber);
    c40->Subscribe(kNumber);
    c7->Subscribe(kNumber);
    Broadcast(kNumber, 1);
    ASSERT_EQ(journal.seen.size(), 3u);
    EXPECT_LT(journal.seen[0].receiver, journal.seen[1].receiver);
    EXPECT_LT(journal.seen[1].receiver, journal.seen[2].receiver);
}

TEST_F(MessageHubTest, SecondSubscriptionKeepsFirstResolver) {
    auto* c = new ProbeComponent(&journal);
    overlord->RegisterComponent(c);
    c->Subscribe(kPlain);
    hub->SubscribeResolver(kPlain.type, kPlain.argument, c->GetId(), &ResolveGameObject);  // would resolve to null
    Broadcast(kPlain, 0);
    EXPECT_EQ(journal.seen.size(), 1u);
}

TEST_F(MessageHubTest, QueuedDuringDrainDeliveredSameDrain) {
    auto* c = new ProbeComponent(&journal);
    overlord->RegisterComponent(c);
    int posted = 0;
    c->onMessage = [&](Message* m) {
        if (m->type == 1 && posted++ == 0) Post(Kind<u32>{2, 0}, 0, 5u);
    };
    for (u32 type : {1u, 2u, 3u}) c->Subscribe(Kind<u32>{type, 0});
    Post(Kind<u32>{1, 0}, 0, 1u);
    Post(Kind<u32>{3, 0}, 0, 3u);
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
    hub->Post(CountedMessage(&ResolveComponent, c->GetId(), 4));
    overlord->UnregisterComponent(c);           // dies before the drain
    hub->Post(CountedMessage(nullptr, 0, 77));  // nobody subscribed
    hub->DispatchQueued();
    EXPECT_TRUE(journal.seen.empty());
    EXPECT_EQ(g_deleted, 2);

    Message now = CountedMessage(&ResolveComponent, 424242, 4);
    SendNow(now);
    Message cast = CountedMessage(nullptr, 0, 78);
    BroadcastNow(cast);
    EXPECT_EQ(g_deleted, 4);
}

TEST_F(MessageHubTest, DeleterRunsOnceForMessagesLeftAtShutdown) {
    auto* c = new ProbeComponent(&journal);
    overlord->RegisterComponent(c);
    c->Subscribe(Kind<u32>{5, 0});
    hub->Post(CountedMessage(nullptr, 0, 5));
    hub->Post(CountedMessage(&ResolveComponent, c->GetId(), 5));
    PostToSystem(Kind<std::string>{1, 18}, 1234, 0, std::string("music"));  // string payload: no leak under ASan
    hub.reset();
    EXPECT_TRUE(journal.seen.empty());
    EXPECT_EQ(g_deleted, 2);
}

TEST_F(MessageHubTest, PayloadIsHeapCopySeenDuringDelivery) {
    auto* c = new ProbeComponent(&journal);
    overlord->RegisterComponent(c);
    u32 value = 0;
    std::string text;
    constexpr Kind<std::string> kText{32, 28};
    c->onMessage = [&](Message* m) {
        if (const u32* number = m->Read(kNumber)) value = *number;
        if (const std::string* got = m->Read(kText)) text = *got;
    };
    u32 original = 99;
    SendToComponent(kNumber, c->GetId(), 0, original);
    original = 1;
    EXPECT_EQ(value, 99u);
    SendToComponent(kText, c->GetId(), 0, std::string("camera"));
    EXPECT_EQ(text, "camera");
}

TEST_F(MessageHubTest, PointerPayloadCarriesFullPointer) {
    auto* c = new ProbeComponent(&journal);
    overlord->RegisterComponent(c);
    constexpr Kind<void*> kPointer{34, 0};
    void* seen = nullptr;
    c->onMessage = [&](Message* m) {
        if (void* const* pointer = m->Read(kPointer)) seen = *pointer;
    };
    int target = 0;
    SendToComponent(kPointer, c->GetId(), 0, &target);
    EXPECT_EQ(seen, &target);
}

// A payload is read only as the kind it was sent as: the pair and the size
// must both match, and a message without payload reads as null.
TEST_F(MessageHubTest, ReadGivesNullUnlessTypeArgumentAndSizeMatch) {
    struct Wide {
        u32 a, b;
    };
    const struct {
        const char* what;
        Message message;
        bool readable;
    } cases[] = {
        {"same kind", MakeMessage(kNumber, nullptr, 0, 0, 5u), true},
        {"other argument", MakeMessage(kOther, nullptr, 0, 0, 5u), false},
        {"other type", MakeMessage(Kind<u32>{8, 2}, nullptr, 0, 0, 5u), false},
        {"same pair, wider payload", MakeMessage(Kind<Wide>{9, 2}, nullptr, 0, 0, Wide{5, 6}), false},
        {"same pair, narrower payload", MakeMessage(Kind<u8>{9, 2}, nullptr, 0, 0, u8{5}), false},
        {"same pair, no payload", MakeMessage(kNumber, nullptr, 0, 0), false},
    };
    for (auto c : cases) {
        const u32* value = c.message.Read(kNumber);
        EXPECT_EQ(value != nullptr, c.readable) << c.what;
        if (value) {
            EXPECT_EQ(*value, 5u) << c.what;
        }
        c.message.FreePayload();
    }
}

template <class K, class V>
concept Sendable = requires(const K& kind, const V& value) {
    Broadcast(kind, 0u, value);
};

// A payload of another type than the kind's does not compile; a derived
// pointer converts to a base pointer kind; leaving the payload out always does.
static_assert(Sendable<Kind<u32>, u32>);
static_assert(!Sendable<Kind<u32>, int>);
static_assert(!Sendable<Kind<u32>, float>);
static_assert(!Sendable<Kind<bool>, int>);
static_assert(!Sendable<Kind<float>, double>);
static_assert(!Sendable<Kind<NoPayload>, u32>);
static_assert(Sendable<Kind<const int*>, int*>);
static_assert(!Sendable<Kind<int*>, const int*>);
static_assert(requires { Broadcast(kNumber, 0u); });

class MessageSenderTest : public MessageHubTest {
protected:
    ProbeComponent* listener = nullptr;
    ProbeComponent* bystander = nullptr;
    ProbeSystem* system = nullptr;
    ProbeSystem* otherSystem = nullptr;
    GameObject* object = nullptr;
    std::unique_ptr<Engine> engine;
    std::vector<u32> values;  // payloads read during delivery

    void SetUp() override {
        MessageHubTest::SetUp();
        engine = std::make_unique<Engine>();
        system = new ProbeSystem(TypeId<GuiSystem>::Get(), "Target", &journal);
        otherSystem = new ProbeSystem(TypeId<Engine>::Get(), "Other", &journal);
        engine->AddSystem(system);
        engine->AddSystem(otherSystem);
        otherSystem->Subscribe(kOther);  // a subscriber of another kind
        object = new GameObject();
        listener = new ProbeComponent(&journal);
        bystander = new ProbeComponent(&journal);
        object->AddComponent(listener);
        overlord->RegisterComponent(bystander);
        listener->Subscribe(kNumber);
        auto read = [this](Message* m) {
            const u32* value = m->Read(kNumber);
            values.push_back(value ? *value : 0);
        };
        listener->onMessage = bystander->onMessage = system->onMessage = otherSystem->onMessage = read;
    }
    void TearDown() override { engine.reset(); }

    // Who received the kNumber payload 7 from sender 3.
    std::vector<u32> Receivers() const {
        std::vector<u32> ids;
        for (const Seen& s : journal.seen) {
            EXPECT_EQ(s.sender, 3u);
            ids.push_back(s.receiver);
        }
        EXPECT_EQ(values, std::vector<u32>(ids.size(), 7u));
        return ids;
    }
};

// Each sender reaches exactly its receiver, at once or in the next drain.
TEST_F(MessageSenderTest, EachSenderDeliversToItsReceiverAtOnceOrQueued) {
    struct Case {
        const char* sender;
        std::function<void()> send;
        bool queued;
        std::function<u32()> receiver;
    };
    const Case cases[] = {
        {"Broadcast", [] { Broadcast(kNumber, 3, 7u); }, false, [&] { return listener->GetId(); }},
        {"Post", [] { Post(kNumber, 3, 7u); }, true, [&] { return listener->GetId(); }},
        {"SendToSystem", [&] { SendToSystem(kNumber, system->GetTypeId(), 3, 7u); }, false,
         [&] { return system->GetTypeId(); }},
        {"PostToSystem", [&] { PostToSystem(kNumber, system->GetTypeId(), 3, 7u); }, true,
         [&] { return system->GetTypeId(); }},
        {"SendToComponent", [&] { SendToComponent(kNumber, bystander->GetId(), 3, 7u); }, false,
         [&] { return bystander->GetId(); }},
        {"SendToObject", [&] { SendToObject(kNumber, object->GetId(), 3, 7u); }, false,
         [&] { return listener->GetId(); }},
    };
    for (const Case& c : cases) {
        journal.seen.clear();
        values.clear();
        c.send();
        EXPECT_EQ(journal.seen.empty(), c.queued) << c.sender;
        EXPECT_EQ(hub->QueuedCount(), c.queued ? 1u : 0u) << c.sender;
        hub->DispatchQueued();
        EXPECT_EQ(Receivers(), std::vector<u32>{c.receiver()}) << c.sender;
    }
}

TEST_F(MessageHubTest, HandlerMayUnsubscribeOthersDuringDelivery) {
    auto* a = new ProbeComponent(&journal);
    auto* b = new ProbeComponent(&journal);
    auto* late = new ProbeComponent(&journal);
    for (auto* c : {a, b, late}) overlord->RegisterComponent(c);
    constexpr Kind<NoPayload> kSix{6, 0};
    a->Subscribe(kSix);
    b->Subscribe(kSix);
    a->onMessage = [&](Message*) {
        a->Unsubscribe(kSix);
        b->Unsubscribe(kSix);
        late->Subscribe(kSix);
    };
    Broadcast(kSix, 0);
    // b was erased before its turn; late was filed during the delivery.
    ASSERT_EQ(journal.seen.size(), 1u);
    EXPECT_EQ(journal.seen[0].receiver, a->GetId());
    journal.seen.clear();
    Broadcast(kSix, 0);
    ASSERT_EQ(journal.seen.size(), 1u);
    EXPECT_EQ(journal.seen[0].receiver, late->GetId());
}

TEST_F(MessageHubTest, SubscriberFiledDuringDeliveryFirstHearsTheNextMessage) {
    // Each handler files a new subscriber of the same kind (with a higher
    // id), as a component making an object of its own class would: the
    // delivery must still end, one new subscriber per message heard.
    constexpr Kind<NoPayload> kGrow{6, 1};
    std::function<void(Message*)> grow;
    grow = [&](Message*) {
        auto* made = new ProbeComponent(&journal);
        overlord->RegisterComponent(made);
        made->onMessage = grow;
        made->Subscribe(kGrow);
    };
    auto* first = new ProbeComponent(&journal);
    overlord->RegisterComponent(first);
    first->onMessage = grow;
    first->Subscribe(kGrow);
    std::size_t heard = 0;
    for (std::size_t expected : {1u, 2u, 4u, 8u}) {
        Broadcast(kGrow, 0);
        EXPECT_EQ(journal.seen.size() - heard, expected);
        heard = journal.seen.size();
    }
}

TEST_F(MessageHubTest, ComponentsTakenOutOfTheRegistryLeaveNoSubscriptions) {
    const struct {
        const char* route;
        std::function<void(GameObject&, IComponent&)> remove;
    } routes[] = {
        {"UnregisterGameObject", [&](GameObject& o, IComponent&) { overlord->UnregisterGameObject(o.GetId()); }},
        {"RemoveComponent", [](GameObject& o, IComponent& c) { o.RemoveComponent(c.GetTypeId()); }},
        {"Destroy", [](GameObject& o, IComponent&) { o.Destroy(); }},
    };
    auto* stayer = new ProbeComponent(&journal);
    overlord->RegisterComponent(stayer);
    stayer->Subscribe(kNumber);
    for (const auto& route : routes) {
        auto* object = new GameObject();
        auto* shot = new ProbeComponent(&journal);
        object->AddComponent(shot);
        const u32 id = shot->GetId();
        for (const auto& kind : {kNumber, kOther}) shot->Subscribe(kind);
        shot->Subscribe(kPlain);
        route.remove(*object, *shot);
        EXPECT_TRUE(hub->GetSubscriptionsOf(id).empty()) << route.route;
        EXPECT_FALSE(hub->IsSubscribed(kNumber, id)) << route.route;
        EXPECT_FALSE(hub->IsSubscribed(kPlain, id)) << route.route;
        graveyard->Collect(1000.0f);
    }
    journal.seen.clear();
    Broadcast(kNumber, 0, 5u);
    ASSERT_EQ(journal.seen.size(), 1u);
    EXPECT_EQ(journal.seen[0].receiver, stayer->GetId());
    EXPECT_EQ(hub->GetSubscriptionsOf(stayer->GetId()).size(), 1u);
}

}  // namespace
