// The scripted run from the environment, in-process on an Engine of probe
// systems: the fixed frame time reaches every system's dt; a script finds
// systems and their children by name, fails a shot without a shot folder
// and ends the loop; a script or frame time that cannot be used is refused
// with a reason naming it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/ScriptedRun.h"
#include "engine/Engine.h"
#include "engine/MessageHub.h"
#include "tests/support/TestIdCounter.h"

namespace {

// Records its dts; ends the loop after `frames` updates (0: never).
class DtProbe : public ISystem {
public:
    DtProbe(const char* name, std::vector<float>* dts, size_t frames) : ISystem(NewId()), dts_(dts), frames_(frames) {
        SetName(name);
    }
    // A parent deletes its own children (the Engine deletes only the top level).
    ~DtProbe() override {
        while (ISystem* child = GetChildHead()) RemoveSystem(child);
    }
    void Update(float dt) override {
        dts_->push_back(dt);
        if (dts_->size() == frames_) Engine::Instance()->SetActive(false);
    }

private:
    std::vector<float>* dts_;
    size_t frames_;
};

class ScriptedRunTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const char* name : {"DD_INPUT_SCRIPT", "DD_FIXED_FRAME_TIME", "DD_SHOT_DIR"}) ::unsetenv(name);
        std::filesystem::remove(scriptPath_);
    }
    void WriteScript(const std::string& text) {
        std::ofstream(scriptPath_) << text;
        ::setenv("DD_INPUT_SCRIPT", scriptPath_.c_str(), 1);
    }
    // A top-level probe with a child probe; the loop runs until `frames`
    // updates or the script ends it.
    void RunLoop(ScriptedRun& run, size_t frames) {
        auto* probe = new DtProbe("Probe", &dts, frames);
        engine_.AddSystem(probe);
        probe->AddSystem(new DtProbe("Child", &childDts, 0));
        run.Install(engine_);
        engine_.Init();
        engine_.Update(0.0f);
    }

    MessageHub hub_;
    TestIdCounter ids_;
    Engine engine_;
    std::vector<float> dts;
    std::vector<float> childDts;
    const std::string scriptPath_ =
        (std::filesystem::temp_directory_path() / ("script-" + std::to_string(::getpid()) + ".txt")).string();
};

TEST_F(ScriptedRunTest, FixedFrameTimeIsEveryFramesDt) {
    ::setenv("DD_FIXED_FRAME_TIME", "0.0166667", 1);
    ScriptedRun run;
    std::string error;
    ASSERT_TRUE(run.ReadEnvironment(&error)) << error;
    RunLoop(run, 3);
    EXPECT_EQ(dts, std::vector<float>(3, 0.0166667f));
    EXPECT_FALSE(run.Failed());
}

TEST_F(ScriptedRunTest, ScriptFindsChildSystemsByNameAndAShotWithoutFolderFailsTheRun) {
    WriteScript("until active Child 0\nwait 1\nshot picture\nwait 50\n");
    ScriptedRun run;
    std::string error;
    ASSERT_TRUE(run.ReadEnvironment(&error)) << error;
    RunLoop(run, 0);
    EXPECT_TRUE(run.Failed());
    EXPECT_EQ(dts.size(), 2u) << "the shot fails at the start of the second frame, which still runs";
}

TEST_F(ScriptedRunTest, ScriptEndEndsTheLoop) {
    WriteScript("until running Probe 0\n");
    ScriptedRun run;
    std::string error;
    ASSERT_TRUE(run.ReadEnvironment(&error)) << error;
    RunLoop(run, 0);
    EXPECT_FALSE(run.Failed());
    EXPECT_EQ(dts.size(), 1u);
}

TEST_F(ScriptedRunTest, UnusableScriptOrFrameTimeIsRefusedNamingIt) {
    const std::string folder = std::filesystem::temp_directory_path().string();
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"DD_FIXED_FRAME_TIME", "fast"},
        {"DD_FIXED_FRAME_TIME", "0"},
        {"DD_FIXED_FRAME_TIME", "-0.1"},
        {"DD_FIXED_FRAME_TIME", "nan"},
        {"DD_FIXED_FRAME_TIME", "0.01s"},
        {"DD_INPUT_SCRIPT", "/no/such/script"},
        {"DD_INPUT_SCRIPT", folder},
        // Beyond a float, or too short or long a step to play.
        {"DD_FIXED_FRAME_TIME", "1e39"},
        {"DD_FIXED_FRAME_TIME", "1e-50"},
        {"DD_FIXED_FRAME_TIME", "0.00009"},
        {"DD_FIXED_FRAME_TIME", "1.5"},
        {"DD_FIXED_FRAME_TIME", "inf"},
    };
    for (const auto& [name, value] : cases) {
        ::setenv(name, value.c_str(), 1);
        ScriptedRun run;
        std::string error;
        EXPECT_FALSE(run.ReadEnvironment(&error)) << name << "=" << value;
        EXPECT_NE(error.find(name), std::string::npos) << error;
        EXPECT_NE(error.find(value), std::string::npos) << error;
        ::unsetenv(name);
    }
}

TEST_F(ScriptedRunTest, FrameTimesFromATenthOfAMillisecondToOneSecondAreTaken) {
    for (const char* value : {"0.0001", "0.0166667", "1"}) {
        ::setenv("DD_FIXED_FRAME_TIME", value, 1);
        ScriptedRun run;
        std::string error;
        EXPECT_TRUE(run.ReadEnvironment(&error)) << value << ": " << error;
    }
    ::setenv("DD_FIXED_FRAME_TIME", "1e-50", 1);
    ScriptedRun run;
    std::string error;
    ASSERT_FALSE(run.ReadEnvironment(&error));
    EXPECT_EQ(error, "DD_FIXED_FRAME_TIME is \"1e-50\", not a number of seconds from 0.0001 to 1");
}

TEST_F(ScriptedRunTest, AScriptPathThatIsNoFileIsRefusedNamingWhatItIs) {
    const std::string fifo = scriptPath_ + ".fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* says;
    } cases[] = {
        {fifo, "it is a FIFO, not a script file"},
        {"/dev/null", "it is a device, not a script file"},
        {std::filesystem::temp_directory_path().string(), "it is a folder, not a script file"},
    };
    for (const auto& c : cases) {
        ::setenv("DD_INPUT_SCRIPT", c.path.c_str(), 1);
        ScriptedRun run;
        std::string error;
        EXPECT_FALSE(run.ReadEnvironment(&error)) << c.path;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
    std::filesystem::remove(fifo);
}

}  // namespace
