#include <gtest/gtest.h>

#include <csignal>

#include "EngineTestSupport.h"
#include "port/os/QuitSignals.h"

namespace {

class EngineTest : public EngineFixture {
protected:
    void SetUp() override { ResetQuitSignalForTest(); }
    void TearDown() override { ResetQuitSignalForTest(); }

    // Added in creation order; each goes to the front of the list.
    ProbeSystem* Add(const char* name, bool active = true) {
        auto* s = new ProbeSystem(NewId(), name, &journal, active);
        engine->AddSystem(s);
        return s;
    }
    // Ends the loop after the given number of frames.
    void StopAfter(ProbeSystem* s, int frames) {
        s->onUpdate = [this, s, frames] {
            if (static_cast<int>(s->dts.size()) >= frames) engine->SetActive(false);
        };
    }

    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
};

TEST_F(EngineTest, InitVisitsNewestFirstAndActivatesEachAtOnce) {
    Add("First");
    Add("Second", false);
    Add("Third");
    engine->SetActive(false);
    engine->Init();
    EXPECT_EQ(journal.events, (std::vector<std::string>{"init Third", "activate Third", "init Second", "init First",
                                                        "activate First"}));
    EXPECT_TRUE(engine->IsActive());
}

TEST_F(EngineTest, LoopUpdatesActiveSystemsAndDeletesFirstCreatedFirst) {
    ProbeSystem* first = Add("First");
    ProbeSystem* idle = Add("Idle", false);
    ProbeSystem* last = Add("Last");
    StopAfter(first, 3);
    engine->Init();
    journal.events.clear();
    std::vector<float> lastDts;
    last->onDelete = [&] { lastDts = last->dts; };
    (void)idle;
    engine->Update(0.0f);
    EXPECT_EQ(journal.events,
              (std::vector<std::string>{"update Last", "update First", "update Last", "update First", "update Last",
                                        "update First", "delete First", "delete Idle", "delete Last"}));
    ASSERT_EQ(lastDts.size(), 3u);
    EXPECT_EQ(lastDts[0], 0.0f);
    EXPECT_GT(lastDts[1], 0.0f);
    EXPECT_EQ(engine->GetChildCount(), 0u);
}

TEST_F(EngineTest, FixedFrameTimeIsEveryFramesDtWhileFrameTimeLogsStayMeasured) {
    ProbeSystem* only = Add("Only");
    StopAfter(only, 3);
    std::vector<float> dts;
    only->onDelete = [&] { dts = only->dts; };
    engine->SetFixedFrameTime(0.0166667f);
    engine->Init();
    engine->Update(0.0f);
    EXPECT_EQ(dts, std::vector<float>(3, 0.0166667f));
    EXPECT_NE(engine->GetLastFrameSeconds(), 0.0166667f) << "the measured time, not the fixed one";
}

TEST_F(EngineTest, FrameStartHookRunsBeforeTheDrainAndCanEndTheLoop) {
    ProbeSystem* s = Add("Receiver");
    int hooks = 0;
    std::vector<std::string> order;
    s->onMessage = [&](Message*) { order.push_back("message"); };
    s->onUpdate = [&] { order.push_back("update"); };
    engine->SetFrameStartHook([&] {
        order.push_back("hook");
        // The message is posted by the hook and still drained in its frame.
        PostToSystem(Kind<u32>{2, 0}, s->GetTypeId(), 0, 1u);
        if (++hooks == 2) engine->SetActive(false);
    });
    engine->Init();
    engine->Update(0.0f);
    EXPECT_EQ(order, (std::vector<std::string>{"hook", "message", "update", "hook", "message", "update"}));
}

TEST_F(EngineTest, GetSystemNeverReturnsDeletedSystemsDuringTeardown) {
    ProbeSystem* first = Add("First");
    ProbeSystem* second = Add("Second");
    const u32 firstId = first->GetTypeId();
    const u32 secondId = second->GetTypeId();
    StopAfter(first, 1);
    ISystem* seenFromSecond = reinterpret_cast<ISystem*>(1);
    second->onDelete = [&] { seenFromSecond = engine->GetSystem(firstId); };
    engine->Init();
    engine->Update(0.0f);
    EXPECT_EQ(seenFromSecond, nullptr);
    EXPECT_EQ(engine->GetSystem(firstId), nullptr);
    EXPECT_EQ(engine->GetSystem(secondId), nullptr);
    EXPECT_EQ(engine->GetSystem(engine->GetTypeId()), engine.get());
}

TEST_F(EngineTest, SecondSystemUnderATypeIdStops) {
    ProbeSystem* first = Add("First");
    ProbeSystem twin(first->GetTypeId(), "Twin", &journal, true);
    EXPECT_DEATH(engine->AddSystem(&twin), "a second system with the same type id");
}

TEST_F(EngineTest, GetSystemFindsOneLevelOfChildren) {
    ProbeSystem* parent = Add("Parent");
    auto* child = new ProbeSystem(NewId(), "Child", &journal);
    auto* grandChild = new ProbeSystem(NewId(), "GrandChild", &journal);
    parent->AddSystem(child);
    child->AddSystem(grandChild);
    EXPECT_EQ(engine->GetSystem(child->GetTypeId()), child);
    EXPECT_EQ(engine->GetSystem(grandChild->GetTypeId()), nullptr);
    child->RemoveSystem(grandChild);
    parent->RemoveSystem(child);
}

TEST_F(EngineTest, QueuedMessagesDrainedBeforeUpdates) {
    ProbeSystem* s = Add("Receiver");
    StopAfter(s, 1);
    bool receivedBeforeUpdate = false;
    s->onMessage = [&](Message*) { receivedBeforeUpdate = s->dts.empty(); };
    PostToSystem(Kind<u32>{2, 0}, s->GetTypeId(), 0, 1u);
    engine->Init();
    engine->Update(0.0f);
    EXPECT_TRUE(receivedBeforeUpdate);
}

TEST_F(EngineTest, QuitSignalEndsLoopAfterFrame) {
    ProbeSystem* s = Add("Only");
    int updates = 0;
    s->onUpdate = [&updates] {
        if (++updates == 2) std::raise(SIGTERM);
    };
    InstallQuitSignalHandlers();
    engine->Init();
    engine->Update(0.0f);
    EXPECT_EQ(updates, 2);
    EXPECT_EQ(journal.events.back(), "delete Only");
}

TEST_F(EngineTest, RemovingSystemDuringUpdateRestartsFromHead) {
    ProbeSystem* a = Add("A");
    ProbeSystem* b = Add("B");
    ProbeSystem* c = Add("C");
    (void)a;
    int frames = 0;
    c->onUpdate = [&] {
        if (++frames == 1) engine->RemoveSystem(b);
        if (frames == 2) engine->SetActive(false);
    };
    engine->Init();
    journal.events.clear();
    engine->Update(0.0f);
    EXPECT_EQ(journal.events, (std::vector<std::string>{"update C", "delete B", "update A", "update C", "update A",
                                                        "delete A", "delete C"}));
}

TEST_F(EngineTest, RemovingLastSystemDuringItsUpdateEndsPassSafely) {
    ProbeSystem* only = Add("Only");
    only->onUpdate = [&] {
        engine->SetActive(false);
        engine->RemoveSystem(only);
    };
    engine->Init();
    engine->Update(0.0f);
    EXPECT_EQ(engine->GetChildCount(), 0u);
}

TEST_F(EngineTest, TogglePauseAndActivateByTypeId) {
    ProbeSystem* s = Add("Menu", false);
    engine->ActivateSystem(s->GetTypeId());
    EXPECT_TRUE(s->IsActive());
    EXPECT_EQ(journal.events.back(), "activate Menu");
    engine->TogglePauseSystem(s->GetTypeId());
    EXPECT_TRUE(s->IsPaused());
    engine->TogglePauseSystem(s->GetTypeId());
    EXPECT_FALSE(s->IsPaused());
    engine->ActivateSystem(123456);  // unknown: nothing
}

}  // namespace
