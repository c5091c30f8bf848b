// Runs the real executable headless on a copy of the asset tree: it must run
// every active system each frame, end its loop on SIGTERM or SIGINT with a
// complete log, the services going in reverse order, and exit status 0; a
// fault ends in the three crash dumps; a missing start-up file or a log
// folder that cannot be made end it without harm to the asset tree. Scripted
// runs play their steps in the logged frames, save shots, reach the window's
// pump with their keys, end with the script (status 0) or at a failed or bad
// line (status 2, the line logged).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <thread>

#include "app/SystemTable.h"
#include "tests/port/ChildProcess.h"
#include "tests/port/CrashDumpReader.h"
#include "tests/support/TempAssetRoot.h"

namespace {
const char* const kHeader =
    "========Initialized log for: Application========\r\n"
    "Format: \r\n: frameCounter\ttime\tGetCurrentThreadId()\tSysGuid\tSysName\tmessage\n"
    "\n";
const char* const kDumps[] = {"Sparse.dmp", "Indirect.dmp", "Verbose.dmp"};
// Systems whose constructors leave them inactive and that the game's start
// does not activate.
const std::set<std::string> kStartInactive = {"Editor",       "StartMenu",   "OptionsMenu",
                                              "ControlsMenu", "CreditsMenu", "FinMenu"};
// The splash screen runs until its time is over (3 s of frames, which a slow
// machine may reach within the first frames), then the start screen.
const std::set<std::string> kSplashOrStart = {"SplashScreen", "StartMenu"};

struct LogRow {
    unsigned long frame;
    std::string message;
};

// Systems that run every frame of a game start, in list order.
// Systems that run every frame of a game start, in list order (the splash
// and start screens left out).
std::vector<std::string> ActiveSystemsInListOrder() {
    std::vector<std::string> names;
    for (const auto& entry : SystemTable::Systems())
        if (!kStartInactive.count(entry.name) && !kSplashOrStart.count(entry.name)) names.push_back(entry.name);
    return names;
}

class ProgramRunGLTest : public ::testing::Test {
protected:
    std::string LogPath() const { return dir_ + "/log/Application.log"; }

    // Waits until the program has logged a few frames.
    bool WaitForFrames(const std::string& path, size_t frames = 1) {
        for (int i = 0; i < 3000; ++i) {
            const std::string text = ReadWholeFile(path);
            size_t count = 0;
            for (size_t at = text.find("\tFRAMETIME: "); at != std::string::npos;
                 at = text.find("\tFRAMETIME: ", at + 1))
                ++count;
            if (count >= frames) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    // The log's rows after its header; fails the test when one is malformed.
    std::vector<LogRow> ReadRows() {
        const std::string text = ReadWholeFile(LogPath());
        EXPECT_EQ(text.rfind(kHeader, 0), 0u);
        static const std::regex kRow("(\\d+)\\t\\d+\\t\\d+\\t0\\tApplication\\t([^\\n]*)\\n\\n");
        std::vector<LogRow> rows;
        auto at = text.cbegin() + static_cast<long>(std::string(kHeader).size());
        std::smatch m;
        while (at < text.cend()) {
            if (!std::regex_search(at, text.cend(), m, kRow, std::regex_constants::match_continuous)) {
                ADD_FAILURE() << "malformed from: " << std::string(at, text.cend()).substr(0, 200);
                break;
            }
            rows.push_back({std::stoul(m[1]), m[2]});
            at = m[0].second;
        }
        return rows;
    }

    void ExpectNoDumps() {
        for (const char* name : kDumps) EXPECT_FALSE(std::filesystem::exists(dir_ + "/" + name)) << name;
    }

    // The program runs there as its working directory; the test's stays.
    TempAssetRoot root_{TempAssetRoot::Contents::WholeTree, false};
    const std::string dir_ = root_.Dir();
};

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

class QuitSignalRunGLTest : public ProgramRunGLTest, public ::testing::WithParamInterface<int> {};

TEST_P(QuitSignalRunGLTest, QuitSignalEndsTheLoopWithCompleteLogAndStatusZero) {
    ChildProcess program = ChildProcess::Exec(dir_, {DD_EXECUTABLE});
    ASSERT_TRUE(WaitForFrames(LogPath(), 5));
    program.Signal(GetParam());
    ChildResult result = program.Wait();
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << result.status << "\n"
                                                                             << result.errorText;
    ExpectNoDumps();

    const std::vector<LogRow> rows = ReadRows();
    ASSERT_FALSE(rows.empty());
    for (size_t i = 1; i < rows.size(); ++i) EXPECT_GE(rows[i].frame, rows[i - 1].frame);

    // Each frame: one PERF row per active system in list order, then
    // FRAMETIME; the splash screen (or after it the start screen) too.
    const std::vector<std::string> expected = ActiveSystemsInListOrder();
    std::vector<std::string> frame;
    bool screen = false;
    size_t frames = 0;
    size_t lastFrameTime = 0;
    static const std::regex kPerf("PERF: (\\w+) ran \\d+\\.\\d{6} ms");
    static const std::regex kFrameTime("FRAMETIME: \\d+\\.\\d{6}");
    for (size_t i = 0; i < rows.size(); ++i) {
        std::smatch m;
        if (std::regex_match(rows[i].message, m, kPerf)) {
            if (kSplashOrStart.count(m[1]))
                screen = true;
            else
                frame.push_back(m[1]);
        } else if (StartsWith(rows[i].message, "FRAMETIME: ")) {
            EXPECT_TRUE(std::regex_match(rows[i].message, kFrameTime)) << rows[i].message;
            EXPECT_EQ(frame, expected) << "frame " << frames;
            EXPECT_TRUE(screen) << "frame " << frames;
            frame.clear();
            screen = false;
            ++frames;
            lastFrameTime = i;
        }
    }
    EXPECT_GE(frames, 5u);

    // After the last frame (and what the systems log as they are deleted):
    // the end of the loop, then each service as it goes, newest first, down
    // to the log itself.
    std::vector<std::string> tail;
    for (size_t i = lastFrameTime + 1; i < rows.size(); ++i) tail.push_back(rows[i].message);
    ASSERT_FALSE(tail.empty());
    std::vector<std::string> shutdown;
    for (const std::string& message : tail)
        if (StartsWith(message, "Shutdown: ")) shutdown.push_back(message);
    ASSERT_FALSE(shutdown.empty());
    EXPECT_TRUE(StartsWith(shutdown.front(), "Shutdown: frame loop ended after ")) << shutdown.front();
    const std::vector<std::string> gone(shutdown.begin() + 1, shutdown.end());
    const std::vector<std::string> expectedGone = {
        "Shutdown: EffectLoader", "Shutdown: NoiseGenerator", "Shutdown: FontManager",  "Shutdown: RenderResources",
        "Shutdown: ModelCache",   "Shutdown: Engine",         "Shutdown: SceneManager", "Shutdown: ObjectFactory",
        "Shutdown: Overlord",     "Shutdown: Graveyard",      "Shutdown: RenderDevice", "Shutdown: Logger"};
    EXPECT_EQ(gone, expectedGone);
    EXPECT_EQ(tail.back(), "Shutdown: Logger");
}

INSTANTIATE_TEST_SUITE_P(SigtermSigintAndSighup, QuitSignalRunGLTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

TEST_F(ProgramRunGLTest, QuitSignalDuringABlockedStartEndsTheProcessWithTheLogWritten) {
    ::setenv("DD_TEST_STALL_STARTUP", "1", 1);
    ChildProcess program = ChildProcess::Exec(dir_, {DD_EXECUTABLE});
    ::unsetenv("DD_TEST_STALL_STARTUP");
    bool stalled = false;
    for (int i = 0; i < 3000 && !stalled; ++i) {
        stalled = ReadWholeFile(LogPath()).find("Start-up stalled for a test") != std::string::npos;
        if (!stalled) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(stalled);
    program.Signal(SIGTERM);
    // The test's own limit: a start that ignored the signal would run on.
    ChildResult result = program.Wait(10);
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 128 + SIGTERM) << result.status;
    const std::vector<LogRow> rows = ReadRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back().message, "Quit signal 15 before the frame loop ran, or a second one: ending at once");
    ExpectNoDumps();
}

TEST_F(ProgramRunGLTest, FifosNamedLikeSoundsAreLeftOutAndTheProgramRunsAndQuits) {
    for (const char* name : {"sfx/Blocked.wav", "bgm/Blocked.ogg"}) {
        std::filesystem::create_directories(std::filesystem::path(dir_ + "/" + name).parent_path());
        ASSERT_EQ(::mkfifo((dir_ + "/" + name).c_str(), 0644), 0) << name;
    }
    ChildProcess program = ChildProcess::Exec(dir_, {DD_EXECUTABLE});
    ASSERT_TRUE(WaitForFrames(LogPath(), 2));
    program.Signal(SIGTERM);
    ChildResult result = program.Wait();
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << result.status;
    std::set<std::string> leftOut;
    for (const LogRow& row : ReadRows())
        if (row.message.find("is not a regular file; left out") != std::string::npos) leftOut.insert(row.message);
    EXPECT_EQ(leftOut,
              (std::set<std::string>{"FilePath: " + dir_ + "/bgm/Blocked.ogg is not a regular file; left out",
                                     "FilePath: " + dir_ + "/sfx/Blocked.wav is not a regular file; left out"}));
}

TEST_F(ProgramRunGLTest, MissingWindowOrOpenGl45EndsWithAMessageNamingItAndStatusOne) {
    struct Case {
        const char* variable;
        const char* value;
        const char* message;
    };
    const Case cases[] = {
        {"MESA_GL_VERSION_OVERRIDE", "3.0", "No render device: this program needs OpenGL 4.5 (core profile)"},
        {"SDL_VIDEODRIVER", "no-such-driver", "CreateWindow FAILED: no window could be made"},
    };
    for (const Case& c : cases) {
        const char* old = std::getenv(c.variable);
        const std::string kept = old ? old : "";
        ::setenv(c.variable, c.value, 1);
        ChildProcess program = ChildProcess::Exec(dir_, {DD_EXECUTABLE});
        if (old)
            ::setenv(c.variable, kept.c_str(), 1);
        else
            ::unsetenv(c.variable);
        // The test's own limit: a frame loop spinning without a device would run on.
        ChildResult result = program.Wait(30);
        ASSERT_FALSE(result.timedOut) << c.variable;
        EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 1) << c.variable << result.status;
        EXPECT_NE(result.errorText.find(c.message), std::string::npos) << result.errorText;
        ExpectNoDumps();
    }
}

TEST_F(ProgramRunGLTest, StartupFileThatIsNoRegularFileOrTooLargeEndsWithStatusOneNamingIt) {
    struct Case {
        std::function<void(const std::string&)> make;
        const char* why;
    };
    const Case cases[] = {
        {[](const std::string& path) { ::mkfifo(path.c_str(), 0644); }, "is a FIFO, not a regular file"},
        {[](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); },
         "is a character device, not a regular file"},
        {[](const std::string& path) {
             std::ofstream(path).close();
             std::filesystem::resize_file(path, (std::uintmax_t(1) << 20) + 1);
         },
         "is larger than 1 MiB"},
    };
    const std::string path = dir_ + "/DevozizuDave.init";
    for (const Case& c : cases) {
        std::filesystem::remove(path);
        c.make(path);
        ChildProcess program = ChildProcess::Exec(dir_, {DD_EXECUTABLE});
        ChildResult result = program.Wait(10);
        ASSERT_FALSE(result.timedOut) << c.why;
        EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 1) << result.status;
        EXPECT_NE(result.errorText.find(path + " " + c.why), std::string::npos) << result.errorText;
    }
}

TEST_F(ProgramRunGLTest, FaultWhileRunningWritesTheThreeDumps) {
    ::setenv("DD_TEST_FORCE_FAULT", "1", 1);
    ChildProcess program = ChildProcess::Exec(dir_, {DD_EXECUTABLE});
    ::unsetenv("DD_TEST_FORCE_FAULT");
    ChildResult result = program.Wait();
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(WIFSIGNALED(result.status) && WTERMSIG(result.status) == SIGSEGV) << result.status;
    for (const char* name : kDumps) {
        ParsedDump dump = ParseDump(ReadWholeFile(dir_ + "/" + name));
        EXPECT_TRUE(dump.wellFormed) << name << ": " << dump.error;
        EXPECT_EQ(dump.Value("signal"), "11 SIGSEGV") << name;
    }
    EXPECT_NE(result.errorText.find("FATAL ERROR: Writing crash report..."), std::string::npos) << result.errorText;
}

TEST_F(ProgramRunGLTest, LogFolderThatCannotBeMadeEndsWithAClearMessageAndStatusOne) {
    std::ofstream(dir_ + "/log") << "a file where the log folder belongs";
    ChildProcess program = ChildProcess::Exec(dir_, {DD_EXECUTABLE});
    ChildResult result = program.Wait();
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 1) << result.status;
    EXPECT_NE(result.errorText.find("Log failed"), std::string::npos) << result.errorText;
    EXPECT_NE(result.errorText.find("the log folder"), std::string::npos) << result.errorText;
    ExpectNoDumps();
}

TEST_F(ProgramRunGLTest, MissingStartupFileEndsWithAClearMessageAndStatusOne) {
    std::filesystem::remove(dir_ + "/DevozizuDave.init");
    ChildProcess program = ChildProcess::Exec(dir_, {DD_EXECUTABLE, "-e"});
    ChildResult result = program.Wait();
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 1) << result.status;
    EXPECT_NE(result.errorText.find("Load scene failed"), std::string::npos) << result.errorText;
    EXPECT_NE(result.errorText.find("\"DevozizuDave.init\" is missing or broken"), std::string::npos)
        << result.errorText;
    ExpectNoDumps();
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/log"));
}

TEST_F(ProgramRunGLTest, BrokenOrEmptyStartupFileEndsWithStatusOne) {
    const struct {
        const char* text;
        const char* says;
    } cases[] = {
        {"shader = { path = ", "DevozizuDave.init\" cannot be used: line 1: unexpected symbol near '<eof>'"},
        {"", "DevozizuDave.init\" cannot be used: it sets none of the eleven asset folders"},
    };
    for (const auto& [text, says] : cases) {
        std::ofstream(dir_ + "/DevozizuDave.init") << text;
        ChildProcess program = ChildProcess::Exec(dir_, {DD_EXECUTABLE});
        ChildResult result = program.Wait();
        ASSERT_FALSE(result.timedOut) << text;
        EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 1) << text << ": " << result.status;
        EXPECT_NE(result.errorText.find("Load scene failed: " + dir_ + "/DevozizuDave.init"), std::string::npos)
            << result.errorText;
        EXPECT_NE(result.errorText.find(says), std::string::npos) << result.errorText;
        ExpectNoDumps();
        EXPECT_FALSE(std::filesystem::exists(dir_ + "/log")) << text;
    }
}

// Scripted runs: the script file and the shot folder in the asset copy.
class ScriptedRunGLTest : public ProgramRunGLTest {
protected:
    ChildResult RunScript(const std::string& text, const std::vector<std::string>& words = {}, int seconds = 60) {
        const std::string script = dir_ + "/run.script";
        std::ofstream(script) << text;
        std::filesystem::create_directory(ShotDir());
        ::setenv("DD_INPUT_SCRIPT", script.c_str(), 1);
        ::setenv("DD_SHOT_DIR", ShotDir().c_str(), 1);
        ::setenv("DD_FIXED_FRAME_TIME", "0.0166667", 1);
        std::vector<std::string> command = {DD_EXECUTABLE};
        command.insert(command.end(), words.begin(), words.end());
        ChildProcess program = ChildProcess::Exec(dir_, command);
        for (const char* name : {"DD_INPUT_SCRIPT", "DD_SHOT_DIR", "DD_FIXED_FRAME_TIME"}) ::unsetenv(name);
        return program.Wait(seconds);
    }
    std::string ShotDir() const { return dir_ + "/shots"; }
    // The script's rows and the loop's end, "<frame> <message>" each.
    std::vector<std::string> ScriptRows() {
        std::vector<std::string> rows;
        for (const LogRow& row : ReadRows())
            if (StartsWith(row.message, "SCRIPT") || StartsWith(row.message, "Shutdown: frame loop"))
                rows.push_back(std::to_string(row.frame) + " " + row.message);
        return rows;
    }
};

bool ExitedWith(const ChildResult& result, int status) {
    return !result.timedOut && WIFEXITED(result.status) && WEXITSTATUS(result.status) == status;
}

TEST_F(ScriptedRunGLTest, StepsLogInTheirFramesShotIsSavedAndTheEndExitsZero) {
    const ChildResult result = RunScript(
        "# waits, a key, a system, a picture\nwait 2\ntap 0x41\n"
        "until active WindowsSystem\nshot first # the frame before\n");
    EXPECT_TRUE(ExitedWith(result, 0)) << result.status << "\n" << result.errorText;
    EXPECT_EQ(ScriptRows(), (std::vector<std::string>{
                                "0 SCRIPT: wait 2",
                                "2 SCRIPT: tap 0x41",
                                "3 SCRIPT: until active WindowsSystem",
                                "3 SCRIPT: shot first",
                                "4 Shutdown: frame loop ended after 4 frames",
                            }));
    // A PNG of the window's client size (1024 x 768).
    const std::string png = ReadWholeFile(ShotDir() + "/first.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x04\0\0\0\x03\0", 8));
    ExpectNoDumps();
}

TEST_F(ScriptedRunGLTest, InjectedKeysReachTheWindowPump) {
    // Alt+F4 is the window's own quit: the run ends long before the wait does.
    const ChildResult result = RunScript("key 0x12 down\ntap 0x73\nwait 600\nshot never\n");
    EXPECT_TRUE(ExitedWith(result, 0)) << result.status << "\n" << result.errorText;
    // The press ends the loop in its own frame, before the tap's release.
    EXPECT_EQ(ScriptRows(), (std::vector<std::string>{"0 SCRIPT: key 0x12 down", "0 SCRIPT: tap 0x73",
                                                      "1 Shutdown: frame loop ended after 1 frames"}));
    EXPECT_FALSE(std::filesystem::exists(ShotDir() + "/never.png"));
}

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST_F(ScriptedRunGLTest, EditorLoadsTheDemoAddsALightAndItsSavedSceneReadsBackByteIdentical) {
    const ChildResult first = RunScript(
        "wait 2\ndialog Demo.scn\npanel MainMenu LoadScene\npanel ComponentsList GlobalLighting\n"
        "dialog Edited.scn\npanel MainMenu SaveSceneAs\nquit\n",
        {"-e"});
    EXPECT_TRUE(ExitedWith(first, 0)) << first.status << "\n" << first.errorText;
    std::set<std::string> timed;
    for (const LogRow& row : ReadRows())
        if (StartsWith(row.message, "PERF: ")) timed.insert(row.message.substr(6, row.message.find(' ', 6) - 6));
    EXPECT_TRUE(timed.count("Editor"));
    for (const char* off : {"Physics", "GameLogic", "BehaviorSystem", "AudioSystem", "PauseMenu", "SplashScreen"})
        EXPECT_FALSE(timed.count(off)) << off << " runs in edit mode";
    const std::string demo = ReadWholeFile(dir_ + "/scene/Demo.scn");
    const std::string edited = ReadWholeFile(dir_ + "/scene/Edited.scn");
    EXPECT_EQ(Occurrences(edited, "GlobalLighting = "), Occurrences(demo, "GlobalLighting = ") + 1) << edited;
    EXPECT_EQ(Occurrences(edited, "SceneGUID = "), Occurrences(demo, "SceneGUID = ") + 1) << edited;

    const ChildResult second = RunScript(
        "wait 2\ndialog Edited.scn\npanel MainMenu LoadScene\ndialog Again.scn\npanel MainMenu SaveSceneAs\nquit\n",
        {"-e"});
    EXPECT_TRUE(ExitedWith(second, 0)) << second.status << "\n" << second.errorText;
    EXPECT_EQ(ReadWholeFile(dir_ + "/scene/Again.scn"), edited);
    ExpectNoDumps();
}

// A designer's session over the editor's mends, played as input: a broken
// load over the scene, two sky boxes, an instance picked with Tab, its
// rotation and range typed, Escape out of a field, a component added and the
// archetype saved over itself, then as another archetype answered in the
// scene folder, the camera sped up and panned, a component class from the
// bottom of its list, a bare scene name; the saved scene loads and saves
// again byte for byte.
TEST_F(ScriptedRunGLTest, EditorSessionOverEveryMendSavesASceneThatReadsBackByteIdentical) {
    std::ofstream(dir_ + "/arch/Pair.arch") << "Transform = {}\n\nPointLight = { mRange = 8 }\n\n";
    std::ofstream(dir_ + "/scene/Faults.scn") << "Archetypes = {\n\t\"Pair\",\n}\n\nPairInstances = {\n"
                                                 "\t{SceneGUID = 1000, },\n"
                                                 "\t{SceneGUID = 1001, Transform = {position = {x = 3, }, }, },\n}\n";
    std::ofstream(dir_ + "/scene/Broken.scn") << "Archetypes = {";
    std::string script =
        "wait 2\ndialog Faults.scn\npanel MainMenu LoadScene\n"
        "dialog Broken.scn\npanel MainMenu LoadScene\n"
        "panel ComponentsList Skybox\npanel ComponentsList Skybox\n"
        "tap 0x09\n"
        "panel Selected RotationEulerDegrees\ntype 30\ntap 0x0D\n"
        "panel Selected PointLight.mRange\ntype 2.5e1\ntap 0x0D\n"
        "panel Selected PointLight.mRange\ntap 0x1B\n"
        "panel ComponentsList Damage\n"
        "dialog Pair\npanel Selected Save Archetype As...\n"
        "dialog ../scene/Lamp.arch\npanel Selected Save Archetype As...\n";
    for (int i = 0; i < 42; ++i) script += "tap 0x6B\n";  // unbounded, 1e42: beyond a float
    script += "key 0x27 down\nwait 3\nkey 0x27 up\ntap 0x6D\ntap 0x6D\ntap 0x6D\n";
    script +=
        "tap 0x1B\nwait 2\npanel ComponentsList Transform\n"
        "dialog MyLevel\npanel MainMenu SaveSceneAs\nquit\n";
    const ChildResult first = RunScript(script, {"-e"}, 240);
    ASSERT_TRUE(ExitedWith(first, 0)) << first.status << "\n" << first.errorText;
    const std::string log = ReadWholeFile(LogPath());
    EXPECT_NE(log.find("Load scene failed: " + dir_ + "/scene/Broken.scn"), std::string::npos);
    EXPECT_EQ(log.find("already exists"), std::string::npos) << "two sky boxes keep their entries";

    const std::string level = ReadWholeFile(dir_ + "/scene/MyLevel.scn");
    ASSERT_FALSE(level.empty()) << "a bare name is saved with .scn";
    EXPECT_EQ(Occurrences(level, "SceneGUID = "), 5u) << level;  // two Pairs, two sky boxes, one Transform
    EXPECT_EQ(Occurrences(level, "Skybox = "), 2u) << level;
    EXPECT_EQ(Occurrences(level, "Damage"), 0u) << "the other Pair was not given Damage: " << level;
    EXPECT_NE(level.find("\t\"Lamp\",\r\n"), std::string::npos) << level;
    EXPECT_EQ(level.find("\t\"Pair\",\r\n"), std::string::npos) << "the Pair without Damage is a plain object";
    EXPECT_EQ(level.find("nan"), std::string::npos) << level;
    EXPECT_EQ(level.find("inf"), std::string::npos) << level;
    const std::string pair = ReadWholeFile(dir_ + "/arch/Pair.arch");
    const std::string lamp = ReadWholeFile(dir_ + "/arch/Lamp.arch");
    EXPECT_NE(pair.find("Damage = "), std::string::npos) << pair;
    EXPECT_NE(lamp.find("mRange = 25,"), std::string::npos) << lamp;
    // The click lands on the row's first field: 30 degrees about x.
    EXPECT_NE(lamp.find("rotation = { w = 0.965926, z = 0, y = 0, x = 0.258819,  }"), std::string::npos) << lamp;
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/scene/Lamp.arch"));

    const ChildResult second = RunScript(
        "wait 2\ndialog MyLevel.scn\npanel MainMenu LoadScene\ndialog Again.scn\npanel MainMenu SaveSceneAs\nquit\n",
        {"-e"});
    EXPECT_TRUE(ExitedWith(second, 0)) << second.status << "\n" << second.errorText;
    EXPECT_EQ(ReadWholeFile(dir_ + "/scene/Again.scn"), level);
    ExpectNoDumps();
}

TEST_F(ScriptedRunGLTest, AMissingLevelsMessageNamesItFromTheAssetFolderAndTheLogWhole) {
    std::filesystem::remove(dir_ + "/scene/Tutorial.scn");
    // Play on the start screen (its centre is 50 above the window's).
    const ChildResult result =
        RunScript("until active StartMenu 400\nwait 2\nclick 512 349\nwait 3\nuntil active StartMenu 1\nquit\n");
    ASSERT_TRUE(ExitedWith(result, 0)) << result.status << "\n" << result.errorText;
    // Headless, the message box goes to stderr.
    EXPECT_NE(result.errorText.find("Load scene failed: scene/Tutorial.scn: "), std::string::npos) << result.errorText;
    EXPECT_EQ(result.errorText.find(dir_), std::string::npos) << result.errorText;
    const std::string log = ReadWholeFile(LogPath());
    EXPECT_NE(log.find("Load scene failed: " + dir_ + "/scene/Tutorial.scn: "), std::string::npos);
}

// The splash needs only the UI effect, so a deferred effect that does not
// compile is reported after the first two pictures, in the second frame; the
// run goes on and ends in order, the compiler's text on stderr and in the log.
TEST_F(ScriptedRunGLTest, BrokenDeferredEffectIsReportedAfterTheFirstPicturesAndTheRunEndsInOrder) {
    std::ofstream(dir_ + "/shader/DeferredShader.fx")
        << "techniques = { { name = 'DeferredGeometryBuffer', passes = { { vs = 'oops(' } } } }";
    const ChildResult result = RunScript("wait 4\nquit\n");
    ASSERT_TRUE(ExitedWith(result, 0)) << result.status << "\n" << result.errorText;
    const std::string reported = "DeferredShader (technique DeferredGeometryBuffer, pass 0, vertex shader)";
    EXPECT_NE(result.errorText.find(reported), std::string::npos) << result.errorText;
    const std::string log = ReadWholeFile(LogPath());
    const size_t message = log.find(reported);
    ASSERT_NE(message, std::string::npos);
    const size_t row = log.rfind("\n\n", message) + 2;  // rows are kept apart by a blank line
    EXPECT_EQ(log.substr(row, 2), "1\t") << log.substr(row, 80);
    const size_t loopEnd = log.find("\tShutdown: frame loop ended after 5 frames");
    EXPECT_LT(message, loopEnd);
    const std::string last = "\tShutdown: Logger\n\n";
    EXPECT_EQ(log.rfind(last), log.size() - last.size()) << log.substr(log.size() - 200);
    ExpectNoDumps();
}

struct FailingScript {
    const char* name;
    const char* text;
    std::vector<std::string> rows;
};

void PrintTo(const FailingScript& script, std::ostream* out) {
    *out << script.text;
}

class FailingScriptGLTest : public ScriptedRunGLTest, public ::testing::WithParamInterface<FailingScript> {};

TEST_P(FailingScriptGLTest, FailedLineIsLoggedAndTheRunExitsTwo) {
    const ChildResult result = RunScript(GetParam().text);
    EXPECT_TRUE(ExitedWith(result, 2)) << result.status << "\n" << result.errorText;
    std::vector<std::string> rows = ScriptRows();
    // The failed line, its reason, then the loop's end.
    ASSERT_EQ(rows.size(), GetParam().rows.size() + 2);
    EXPECT_NE(rows[rows.size() - 2].find(" SCRIPT REASON: line "), std::string::npos) << rows[rows.size() - 2];
    EXPECT_NE(rows.back().find(" Shutdown: frame loop ended"), std::string::npos) << rows.back();
    rows.erase(rows.end() - 2, rows.end());
    EXPECT_EQ(rows, GetParam().rows);
    EXPECT_NE(result.errorText.find("input script line"), std::string::npos) << result.errorText;
    EXPECT_FALSE(std::filesystem::exists(ShotDir() + "/never.png"));
    ExpectNoDumps();
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, FailingScriptGLTest,
    ::testing::Values(FailingScript{"FailedUntil",
                                    "wait 1\nuntil inactive WindowsSystem 5\nshot never\n",
                                    {"0 SCRIPT: wait 1", "1 SCRIPT: until inactive WindowsSystem 5",
                                     "6 SCRIPT FAILED: until inactive WindowsSystem 5"}},
                      FailingScript{
                          "UnknownSystem",
                          "until active NoSuchSystem\nshot never\n",
                          {"0 SCRIPT: until active NoSuchSystem", "0 SCRIPT FAILED: until active NoSuchSystem"}},
                      FailingScript{"BadLine", "shot never\nwait 1 2\n", {"0 SCRIPT FAILED: wait 1 2"}}),
    [](const ::testing::TestParamInfo<FailingScript>& info) { return std::string(info.param.name); });

TEST_F(ScriptedRunGLTest, UnreadableScriptEndsWithAClearMessageAndStatusTwo) {
    ::setenv("DD_INPUT_SCRIPT", "missing.script", 1);
    ChildProcess program = ChildProcess::Exec(dir_, {DD_EXECUTABLE});
    ::unsetenv("DD_INPUT_SCRIPT");
    const ChildResult result = program.Wait();
    EXPECT_TRUE(ExitedWith(result, 2)) << result.status;
    EXPECT_NE(result.errorText.find("\"missing.script\" (DD_INPUT_SCRIPT) cannot be read"), std::string::npos)
        << result.errorText;
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/log"));
}
}  // namespace
