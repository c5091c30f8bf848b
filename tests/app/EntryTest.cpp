#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Entry.h"
#include "core/TypeId.h"
#include "engine/Engine.h"
#include "engine/MessageHub.h"
#include "tests/support/TestIdCounter.h"

class Editor;
class SplashScreen;

namespace {
std::vector<std::string> gJournal;

// Stands in for a start system: records activation, ends the loop when updated.
class StartProbe : public ISystem {
public:
    StartProbe(u32 typeId, const char* label) : ISystem(typeId), label_(label) { SetActive(false); }
    ~StartProbe() override { gJournal.push_back(std::string("deleted ") + label_); }
    void Update(float) override {
        gJournal.push_back(std::string("update ") + label_);
        Engine::Instance()->SetActive(false);
    }
    void Activate() override { gJournal.push_back(std::string("activate ") + label_); }

private:
    const char* label_;
};

// Ends the loop after its first update whatever else runs.
class Stopper : public StartProbe {
public:
    Stopper() : StartProbe(NewId(), "stopper") { SetActive(true); }
};

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine_.reset();
        gJournal.clear();
        engine_ = std::make_unique<Engine>();
        engine_->AddSystem(new StartProbe(TypeId<Editor>::Get(), "editor"));
        engine_->AddSystem(new StartProbe(TypeId<SplashScreen>::Get(), "splash"));
        engine_->Init();
    }
    void TearDown() override { engine_.reset(); }

    MessageHub hub_;
    TestIdCounter ids_;
    std::unique_ptr<Engine> engine_;
};

TEST_F(EntryTest, DashEActivatesTheEditorAndRunsTheLoop) {
    StartFromCommandLine("level -e", engine_.get());
    EXPECT_EQ(gJournal,
              (std::vector<std::string>{"activate editor", "update editor", "deleted editor", "deleted splash"}));
}

TEST_F(EntryTest, AnyOtherCommandLineActivatesTheSplashScreen) {
    for (const char* line : {"", "   ", "-E", "\"-e\""}) {
        SetUp();
        StartFromCommandLine(line, engine_.get());
        EXPECT_EQ(gJournal.front(), "activate splash") << line;
        EXPECT_EQ(engine_->GetChildCount(), 0u) << "the loop ended and deleted the systems";
    }
}

TEST(EntryWithoutStartSystemTest, LoopStillRunsWithWhateverIsActive) {
    gJournal.clear();
    MessageHub hub;
    TestIdCounter ids;
    Engine engine;
    engine.AddSystem(new Stopper);
    engine.Init();
    StartFromCommandLine("-e", &engine);
    EXPECT_EQ(gJournal, (std::vector<std::string>{"activate stopper", "update stopper", "deleted stopper"}));
}
}  // namespace
