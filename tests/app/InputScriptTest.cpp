// Input scripts: which lines fit their command (counts, numbers, keywords,
// keys that exist), comments and blank lines, the first bad line stopping
// the read; and how the driver plays steps over frames on a stand-in target:
// the frame each event lands in, until's limit, failures and the end.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/InputDriver.h"
#include "app/InputScript.h"
#include "app/ScriptTarget.h"

namespace {

struct LineCase {
    const char* line;
    bool fits;
};

TEST(InputScriptTest, EachCommandAcceptsOnlyItsOwnWords) {
    const LineCase cases[] = {
        {"wait 3", true},
        {"wait 0", true},
        {"wait", false},
        {"wait -1", false},
        {"wait 2x", false},
        {"wait 1 2", false},
        {"until active WindowsSystem", true},
        {"until inactive Editor 5", true},
        {"until paused GraphicsSystem 0", true},
        {"until running GraphicsSystem", true},
        {"until asleep WindowsSystem", false},
        {"until active", false},
        {"until active WindowsSystem -5", false},
        {"until active WindowsSystem 5 6", false},
        {"key 0x1B down", true},
        {"key 0x41 up", true},
        {"key 27 down", true},
        {"key 0x1B sideways", false},
        {"key 0xZZ down", false},
        {"key 0x11B down", false},
        {"key 0x07 down", false},  // no key has that code
        {"key 0x1B", false},
        {"tap 0X73", true},
        {"tap 0x", false},
        {"tap", false},
        {"move 10 -5", true},
        {"move 10", false},
        {"move 1.5 2", false},
        {"click 3 4", true},
        {"click 3 four", false},
        {"press left", true},
        {"release right", true},
        {"press middle", false},
        {"release", false},
        {"shot title", true},
        {"place Player", true},
        {"place", false},
        {"place Player Transform", false},
        {"shot a#b", true},
        {"shot a/b", false},
        {"shot ..", false},
        {"shot", false},
        {"quit", true},
        {"quit now", false},
        {"panel MainMenu LoadScene", true},
        {"panel MainMenu", false},
        {"dialog cancel", true},
        {"dialog", false},
        {"drop a.bin", true},
        {"drop", false},
        {"type 2e3", true},
        {"type", false},
        {"jump 3", false},
        {"Wait 3", false},
    };
    for (const LineCase& c : cases) {
        const InputScript script = InputScript::Parse(c.line);
        EXPECT_EQ(script.Fits(), c.fits) << c.line;
        EXPECT_EQ(script.Steps().size(), c.fits ? 1u : 0u) << c.line;
        if (!c.fits) {
            EXPECT_EQ(script.FirstBadLine().line, c.line);
            EXPECT_FALSE(script.FirstBadLine().reason.empty()) << c.line;
        }
    }
}

TEST(InputScriptTest, CommentsAndBlankLinesAreSkippedAndTheFirstBadLineStopsTheRead) {
    const InputScript good = InputScript::Parse("# a run\n\n  \t\r\n  wait   2  # settle\r\ntap 0x1B\n#quit");
    ASSERT_TRUE(good.Fits());
    ASSERT_EQ(good.Steps().size(), 2u);
    EXPECT_EQ(good.Steps()[0].line, "wait   2");
    EXPECT_EQ(good.Steps()[0].lineNumber, 4);
    EXPECT_EQ(good.Steps()[0].args, std::vector<std::string>{"2"});
    EXPECT_EQ(good.Steps()[1].command->name, std::string("tap"));

    const InputScript bad = InputScript::Parse("wait 1\n  bogus 3 # no such\nwait x\n");
    EXPECT_FALSE(bad.Fits());
    EXPECT_EQ(bad.FirstBadLine().lineNumber, 2);
    EXPECT_EQ(bad.FirstBadLine().line, "bogus 3");
}

// Records what the steps do, each entry prefixed with the frame it came in.
class RecordingTarget : public ScriptTarget {
public:
    void Key(u32 vk, bool down) override { Note("key " + std::to_string(vk) + (down ? " down" : " up")); }
    void MovePointer(int x, int y) override { Note("move " + std::to_string(x) + " " + std::to_string(y)); }
    void Button(u32 button, bool down) override { Note("button " + std::to_string(button) + (down ? " down" : " up")); }
    bool SystemFlags(const std::string& name, bool* active, bool* paused) override {
        auto found = systems.find(name);
        if (found == systems.end()) return false;
        *active = found->second.first;
        *paused = found->second.second;
        return true;
    }
    bool SaveShot(const std::string& name, std::string* error) override {
        Note("shot " + name);
        if (shotsFail) *error = "disk full";
        return !shotsFail;
    }
    void Quit() override { Note("quit"); }
    bool PanelEntryCentre(const std::string& bar, const std::string& entry, int* x, int* y, std::string* why) override {
        auto found = entries.find(bar + "/" + entry);
        if (found == entries.end()) {
            *why = "not drawn";
            return false;
        }
        *x = found->second.first;
        *y = found->second.second;
        return true;
    }
    bool PanelEntryHeld(const std::string& bar, const std::string& entry, std::string* why) override {
        if (!missed.count(bar + "/" + entry)) return true;
        *why = "missed " + entry;
        return false;
    }
    void AnswerDialog(const std::string& path) override { Note("dialog " + path); }
    void CancelDialog() override { Note("dialog cancel"); }
    void ClickAnswer(const std::string& label) override { Note("answer " + label); }
    void CloseWindow() override { Note("close"); }
    int PanelScrollToward(const std::string& bar, const std::string& entry, int* x, int* y) override {
        auto found = below.find(bar + "/" + entry);
        if (found == below.end()) return 0;
        *x = 1;
        *y = 2;
        return -1;
    }
    void Wheel(int notches) override {
        Note("wheel " + std::to_string(notches));
        // Each notch brings the entries below one step up; the last comes in sight.
        for (auto it = below.begin(); it != below.end();)
            if (--it->second == 0) {
                entries[it->first] = {50, 60};
                it = below.erase(it);
            } else {
                ++it;
            }
    }
    void Type(const std::string& text) override { Note("type " + text); }
    bool DropFiles(const std::vector<std::string>& files, std::string* why) override {
        std::string all;
        for (const std::string& file : files) all += " " + file;
        Note("drop" + all);
        if (files.size() > 3) *why = "too many";
        return files.size() <= 3;
    }

    bool ComponentPlace(const std::string& className, float place[3], std::string* why) override {
        Note("place " + className);
        place[0] = place[1] = place[2] = 0.0f;
        *why = "none";
        return className == "Player";
    }

    void Note(const std::string& what) { journal.push_back(std::to_string(frame) + ": " + what); }

    int frame = 0;
    std::vector<std::string> journal;
    std::map<std::string, std::pair<bool, bool>> systems;  // name -> (active, paused)
    bool shotsFail = false;
    std::map<std::string, std::pair<int, int>> entries;  // "bar/entry" -> drawn centre
    std::map<std::string, int> below;                    // "bar/entry" -> notches until in sight
    std::set<std::string> missed;                        // "bar/entry" whose press nothing took
};

class InputDriverTest : public ::testing::Test {
protected:
    // Plays frames until the driver finishes (at most `frames`).
    void Play(const std::string& text, int frames = 50) {
        InputDriver driver(InputScript::Parse(text), target);
        for (target.frame = 0; target.frame < frames && !driver.Finished(); ++target.frame) {
            if (onFrame) onFrame(target.frame);
            driver.BeginFrame();
        }
        failed = driver.Failed();
    }

    RecordingTarget target;
    std::function<void(int)> onFrame;
    bool failed = false;
};

TEST_F(InputDriverTest, StepsLandInTheirFramesAndTheEndQuits) {
    Play("wait 2\ntap 0x1B\nmove 5 6\nclick 7 8\npress right\nrelease right\nkey 0x41 down\nshot end\n");
    EXPECT_FALSE(failed);
    EXPECT_EQ(target.journal, (std::vector<std::string>{
                                  "2: key 27 down",
                                  "3: key 27 up",
                                  "3: move 5 6",
                                  "3: move 7 8",
                                  "3: button 0 down",
                                  "4: button 0 up",
                                  "4: button 1 down",
                                  "4: button 1 up",
                                  "4: key 65 down",
                                  "4: shot end",
                                  "4: quit",
                              }));
}

TEST_F(InputDriverTest, UntilWaitsForTheFlagAndFailsAfterItsFrames) {
    target.systems["Menu"] = {false, false};
    onFrame = [this](int frame) {
        if (frame == 3) target.systems["Menu"] = {true, true};
    };
    Play("until active Menu 10\nuntil paused Menu\nuntil running Menu 2\nquit\ntap 0x1B");
    EXPECT_TRUE(failed);
    EXPECT_EQ(target.journal, (std::vector<std::string>{"5: quit"})) << "met at 3; running never: fails 2 frames on";

    target.journal.clear();
    Play("until inactive Menu 0");
    EXPECT_TRUE(failed);
    EXPECT_EQ(target.journal, (std::vector<std::string>{"0: quit"}));
}

TEST_F(InputDriverTest, QuitEndsTheScriptAndFailuresPlayNothingMore) {
    Play("tap 0x41\nquit\ntap 0x42");
    EXPECT_FALSE(failed);
    EXPECT_EQ(target.journal, (std::vector<std::string>{"0: key 65 down", "1: key 65 up", "1: quit"}));

    const std::vector<std::pair<std::string, std::vector<std::string>>> failures = {
        {"tap 0x41\nuntil active Nobody\ntap 0x42", {"0: key 65 down", "1: key 65 up", "1: quit"}},
        {"tap 0x41\nbogus\ntap 0x42", {"0: quit"}},  // a bad line anywhere: nothing is played
    };
    for (const auto& [text, journal] : failures) {
        target.journal.clear();
        Play(text);
        EXPECT_TRUE(failed) << text;
        EXPECT_EQ(target.journal, journal) << text;
    }
    target.journal.clear();
    target.shotsFail = true;
    Play("shot a\ntap 0x41");
    EXPECT_TRUE(failed);
    EXPECT_EQ(target.journal, (std::vector<std::string>{"0: shot a", "0: quit"}));
}

TEST_F(InputDriverTest, TwoTapsOfOneKeyAreTwoPressesInSeparateFrames) {
    // The window sees one frame's key events as a state: a press in the frame
    // of the key's release would merge with it, so it waits a frame.
    Play("tap 0x41\ntap 0x41\ntap 0x42\nkey 0x41 down\nkey 0x41 up\nkey 0x41 down\n");
    EXPECT_FALSE(failed);
    EXPECT_EQ(target.journal, (std::vector<std::string>{
                                  "0: key 65 down",
                                  "1: key 65 up",
                                  "2: key 65 down",
                                  "3: key 65 up",
                                  "3: key 66 down",
                                  "4: key 66 up",
                                  "4: key 65 down",
                                  "4: key 65 up",
                                  "5: key 65 down",
                                  "5: quit",
                              }));
}

TEST_F(InputDriverTest, ARefusedBinaryLineIsCutInItsMessages) {
    std::string line(2u << 20, '\x01');
    line[0] = 'x';
    testing::internal::CaptureStderr();
    Play(line);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(failed);
    EXPECT_LT(said.size(), 600u) << said.substr(0, 600);
    EXPECT_NE(said.find("(2097152 bytes)"), std::string::npos) << said.substr(0, 600);
}

}  // namespace

TEST_F(InputDriverTest, PanelWaitsForItsEntryThenClicksItAcrossTwoFrames) {
    onFrame = [this](int frame) {
        if (frame == 2) target.entries["Selected/Save Archetype As..."] = {40, 12};
    };
    Play("dialog my ship-2\npanel Selected Save Archetype As...\ndialog cancel\ndrop a.bin b.bin\nquit");
    EXPECT_FALSE(failed);
    EXPECT_EQ(target.journal, (std::vector<std::string>{
                                  "0: dialog my ship-2",
                                  "2: move 40 12",
                                  "3: button 0 down",
                                  "4: button 0 up",
                                  "5: dialog cancel",
                                  "5: drop a.bin b.bin",
                                  "5: quit",
                              }));
}

TEST_F(InputDriverTest, PanelScrollsItsBarToAnEntryBelowTheVisiblePartThenClicksIt) {
    target.below["ComponentsList/Transform"] = 3;
    Play("panel ComponentsList Transform\ntype 2e3 x\nquit");
    EXPECT_FALSE(failed);
    EXPECT_EQ(target.journal, (std::vector<std::string>{
                                  "0: move 1 2",
                                  "0: wheel -1",
                                  "1: move 1 2",
                                  "1: wheel -1",
                                  "2: move 1 2",
                                  "2: wheel -1",
                                  "3: move 50 60",
                                  "4: button 0 down",
                                  "5: button 0 up",
                                  "6: type 2e3 x",
                                  "6: quit",
                              }));
}

TEST_F(InputDriverTest, ADropTheWindowCannotTakeFailsTheRunSayingWhy) {
    Play("drop a b c d\nquit");
    EXPECT_TRUE(failed);
    EXPECT_EQ(target.journal, (std::vector<std::string>{"0: drop a b c d", "0: quit"}));
}

TEST_F(InputDriverTest, PanelPressTheEntryDidNotTakeFailsTheRunNamingItBeforeAnythingIsTyped) {
    target.entries["Selected/PlayerPath.tunnelSideCount"] = {40, 12};
    target.missed.insert("Selected/PlayerPath.tunnelSideCount");
    testing::internal::CaptureStderr();
    Play("panel Selected PlayerPath.tunnelSideCount\ntype 14\nquit");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(failed);
    EXPECT_EQ(target.journal,
              (std::vector<std::string>{"0: move 40 12", "1: button 0 down", "2: button 0 up", "2: quit"}));
    EXPECT_NE(said.find("missed PlayerPath.tunnelSideCount"), std::string::npos) << said;
}

TEST_F(InputDriverTest, PanelEntryNeverDrawnFailsTheRun) {
    Play("panel MainMenu Nowhere\nquit", 300);
    EXPECT_TRUE(failed);
    EXPECT_EQ(target.journal, (std::vector<std::string>{"120: quit"}));
}
