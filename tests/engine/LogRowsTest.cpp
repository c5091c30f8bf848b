#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "core/ClassNameLookup.h"
#include "tests/support/LogCapture.h"

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

class LogRowsTest : public EngineFixture {
protected:
    void TearDown() override { SetClassNameLookup(nullptr); }
    LogCapture capture;
};

TEST_F(LogRowsTest, FrameLoopLogsPerfPerActiveSystemThenFrameTimeAndCountsFrames) {
    auto engine = std::make_unique<Engine>();
    auto* first = new ProbeSystem(NewId(), "First", &journal);
    auto* idle = new ProbeSystem(NewId(), "Idle", &journal, false);
    auto* last = new ProbeSystem(NewId(), "Last", &journal);
    engine->AddSystem(first);
    engine->AddSystem(idle);
    engine->AddSystem(last);
    first->onUpdate = [&] {
        if (first->dts.size() == 2) engine->SetActive(false);
    };
    engine->Init();
    engine->Update(0.0f);
    EXPECT_EQ(capture.logger().FrameCounter(), 2u);

    std::vector<std::pair<unsigned, std::string>> rows;
    FINISH_OR_SKIP(capture, rows);
    ASSERT_EQ(rows.size(), 6u);
    for (unsigned frame = 0; frame < 2; ++frame) {
        const std::size_t base = frame * 3;
        EXPECT_TRUE(StartsWith(rows[base].second, "PERF: Last ran ")) << rows[base].second;
        EXPECT_TRUE(StartsWith(rows[base + 1].second, "PERF: First ran ")) << rows[base + 1].second;
        EXPECT_TRUE(StartsWith(rows[base + 2].second, "FRAMETIME: ")) << rows[base + 2].second;
        EXPECT_TRUE(rows[base].second.size() > 4 && rows[base].second.substr(rows[base].second.size() - 3) == " ms");
        for (std::size_t i = base; i < base + 3; ++i) EXPECT_EQ(rows[i].first, frame);
    }
}

TEST_F(LogRowsTest, LoopWithoutSystemsDrainsCollectsLogsAndCountsFrames) {
    auto engine = std::make_unique<Engine>();
    // A queued message whose receiver ends the loop, and an object waiting in
    // the Graveyard: both are dealt with in the first frame.
    auto* stopper = new ProbeComponent(&journal);
    overlord->RegisterComponent(stopper);
    stopper->onMessage = [&](Message*) { engine->SetActive(false); };
    constexpr Kind<u32> kStop{90, 0};
    Post(kStop, 0, 1u);
    stopper->Subscribe(kStop);
    auto* doomed = new ProbeComponent(&journal);
    const std::string deleted = "delete c" + std::to_string(doomed->GetId());
    graveyard->AddComponent(doomed);

    engine->Init();
    engine->Update(0.0f);
    EXPECT_EQ(journal.seen.size(), 1u);
    EXPECT_EQ(journal.events, std::vector<std::string>{deleted});
    EXPECT_EQ(capture.logger().FrameCounter(), 1u);

    std::vector<std::string> messages;
    FINISH_MESSAGES_OR_SKIP(capture, messages);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(StartsWith(messages[0], "FRAMETIME: "));
}

const char* ProbeNames(u32 typeId) {
    return typeId == TypeId<ProbeComponent>::Get() ? "ProbeComponent" : nullptr;
}

TEST_F(LogRowsTest, ObjectLifeRowsNameClassesAndIds) {
    SetClassNameLookup(&ProbeNames);
    auto* parent = new GameObject();
    auto* object = new GameObject();
    object->SetArchetypeName("Ship");
    auto* named = new ProbeComponent(&journal);
    auto* unnamed = new OtherProbeComponent(&journal);
    object->AddComponent(named);
    object->AddComponent(unnamed);
    object->Init();
    object->SetParent(parent->GetId());
    parent->SetParent(object->GetId());  // a cycle: refused
    object->RemoveComponent(unnamed->GetTypeId());
    overlord->UnregisterGameObject(object->GetId());
    parent->Destroy();

    const std::string o = std::to_string(object->GetId());
    const std::string p = std::to_string(parent->GetId());
    const std::vector<std::string> expected = {
        "Adding component " + std::to_string(named->GetId()) + " of type (ProbeComponent) to game object: " + o,
        "Adding component " + std::to_string(unnamed->GetId()) + " of type (" + std::to_string(unnamed->GetTypeId()) +
            ") to game object: " + o,
        "Init gameobject " + o + " archetype: Ship",
        "Adding object ID: " + p + " as parent of " + o,
        "Refusing object ID: " + o + " as parent of " + p + ": it is the object or one of its descendants",
        "Removing component: " + std::to_string(unnamed->GetId()) + " from GameObject: " + o,
        "Overlord::UnregisterComponent('" + std::to_string(unnamed->GetId()) + "')",
        "Overlord::UnregisterGameObject('" + o + "')",
        "Overlord::UnregisterComponent('" + std::to_string(named->GetId()) + "')",
        "Destroying object: " + p,
    };
    std::vector<std::string> messages;
    FINISH_MESSAGES_OR_SKIP(capture, messages);
    EXPECT_EQ(messages, expected);
}

}  // namespace
