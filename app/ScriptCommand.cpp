#include "app/ScriptCommand.h"

#include <algorithm>
#include <charconv>

#include "app/ScriptTarget.h"
#include "engine/Logger.h"
#include "port/window/KeyMapping.h"

namespace {

using Args = std::vector<std::string>;

constexpr u32 kDefaultUntilFrames = 3600;
// Frames a `panel` step waits for its entry to be drawn.
constexpr u32 kPanelFrames = 120;

// The whole word as a number of the base; nothing else may follow.
template <class T>
bool ParseNumber(const std::string& word, T* value, int base = 10) {
    const char* end = word.data() + word.size();
    auto [stop, error] = std::from_chars(word.data(), end, *value, base);
    return !word.empty() && error == std::errc() && stop == end;
}

bool ParseFrames(const std::string& word, u32* frames) {
    return ParseNumber(word, frames);
}

bool ParsePixel(const std::string& word, int* pixel) {
    return ParseNumber(word, pixel);
}

// A virtual-key code in hex ("0x1B") or decimal that names a key.
bool ParseKey(const std::string& word, u32* vk) {
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    if (!(hex ? ParseNumber(word.substr(2), vk, 16) : ParseNumber(word, vk))) return false;
    return *vk <= 0xFF && KeyMapping::ScancodeFromVirtualKey(*vk) != 0;
}

bool ParseButton(const std::string& word, u32* button) {
    if (word != "left" && word != "right") return false;
    *button = word == "left" ? 0 : 1;
    return true;
}

// wait FRAMES: the step ends FRAMES frames after it starts.
bool AcceptWait(const Args& args) {
    u32 frames;
    return args.size() == 1 && ParseFrames(args[0], &frames);
}

StepState PlayWait(StepPlay& play) {
    u32 frames = 0;
    ParseFrames(play.args[0], &frames);
    return play.frame < frames ? StepState::Again : StepState::Done;
}

// until active|inactive|paused|running SYSTEM [FRAMES]: checked at the start
// of each frame; fails when the flag still differs FRAMES frames later.
bool AcceptUntil(const Args& args) {
    static const std::vector<std::string> kStates = {"active", "inactive", "paused", "running"};
    u32 frames;
    if (args.size() < 2 || args.size() > 3) return false;
    if (std::find(kStates.begin(), kStates.end(), args[0]) == kStates.end()) return false;
    return args.size() == 2 || ParseFrames(args[2], &frames);
}

StepState PlayUntil(StepPlay& play) {
    const std::string& state = play.args[0];
    const std::string& system = play.args[1];
    u32 limit = kDefaultUntilFrames;
    if (play.args.size() == 3) ParseFrames(play.args[2], &limit);
    bool active = false, paused = false;
    if (!play.target.SystemFlags(system, &active, &paused)) {
        play.error = "no system is named " + system;
        return StepState::Failed;
    }
    const bool met = state == "active" ? active : state == "inactive" ? !active : state == "paused" ? paused : !paused;
    if (met) return StepState::Done;
    if (play.frame < limit) return StepState::Again;
    play.error = system + " is not " + state + " after " + std::to_string(limit) + " frames";
    return StepState::Failed;
}

bool AcceptKey(const Args& args) {
    u32 vk;
    return args.size() == 2 && ParseKey(args[0], &vk) && (args[1] == "down" || args[1] == "up");
}

bool ReleasedThisFrame(const StepPlay& play, u32 vk) {
    return play.releasedKeys &&
           std::find(play.releasedKeys->begin(), play.releasedKeys->end(), vk) != play.releasedKeys->end();
}

void Release(StepPlay& play, u32 vk) {
    play.target.Key(vk, false);
    if (play.releasedKeys) play.releasedKeys->push_back(vk);
}

StepState PlayKey(StepPlay& play) {
    u32 vk = 0;
    ParseKey(play.args[0], &vk);
    if (play.args[1] == "up") {
        Release(play, vk);
        return StepState::Done;
    }
    if (ReleasedThisFrame(play, vk)) return StepState::Again;
    play.target.Key(vk, true);
    return StepState::Done;
}

// tap VK: down in one frame, up in the next (mark: 1 once pressed); a press
// of a key released in this frame waits for the next.
bool AcceptTap(const Args& args) {
    u32 vk;
    return args.size() == 1 && ParseKey(args[0], &vk);
}

StepState PlayTap(StepPlay& play) {
    u32 vk = 0;
    ParseKey(play.args[0], &vk);
    if (*play.mark == 0) {
        if (ReleasedThisFrame(play, vk)) return StepState::Again;
        play.target.Key(vk, true);
        *play.mark = 1;
        return StepState::Again;
    }
    Release(play, vk);
    return StepState::Done;
}

bool AcceptPoint(const Args& args) {
    int pixel;
    return args.size() == 2 && ParsePixel(args[0], &pixel) && ParsePixel(args[1], &pixel);
}

void MoveTo(StepPlay& play) {
    int x = 0, y = 0;
    ParsePixel(play.args[0], &x);
    ParsePixel(play.args[1], &y);
    play.target.MovePointer(x, y);
}

StepState PlayMove(StepPlay& play) {
    MoveTo(play);
    return StepState::Done;
}

bool AcceptButton(const Args& args) {
    u32 button;
    return args.size() == 1 && ParseButton(args[0], &button);
}

StepState PlayButton(StepPlay& play, bool down) {
    u32 button = 0;
    ParseButton(play.args[0], &button);
    play.target.Button(button, down);
    return StepState::Done;
}

StepState PlayPress(StepPlay& play) {
    return PlayButton(play, true);
}

StepState PlayRelease(StepPlay& play) {
    return PlayButton(play, false);
}

// click X Y: move and press the left button now, release it in the next frame.
StepState PlayClick(StepPlay& play) {
    if (play.frame == 0) {
        MoveTo(play);
        play.target.Button(0, true);
        return StepState::Again;
    }
    play.target.Button(0, false);
    return StepState::Done;
}

// shot NAME: a plain file name, without folder.
bool AcceptShot(const Args& args) {
    return args.size() == 1 && args[0] != "." && args[0] != ".." && args[0].find('/') == std::string::npos;
}

StepState PlayShot(StepPlay& play) {
    return play.target.SaveShot(play.args[0], &play.error) ? StepState::Done : StepState::Failed;
}

// The words from `first` on, joined by single blanks (names with blanks).
std::string Rest(const Args& args, size_t first) {
    std::string text;
    for (size_t i = first; i < args.size(); ++i) text += (i > first ? " " : "") + args[i];
    return text;
}

// panel BAR ENTRY: a click on the part of the entry that edits it (a
// button, the text part of a number field, the first field of a row) where
// the panels last drew it (waiting for it to be drawn), as a user makes it:
// the pointer moves onto the entry in one frame, the button goes down in the
// next and up in the one after; the next step starts a frame later, after
// the entry has acted. A press the entry did not take fails the step, so
// that nothing typed next goes astray unsaid.
bool AcceptPanel(const Args& args) {
    return args.size() >= 2;
}

StepState PlayPanel(StepPlay& play) {
    u32& stage = *play.mark;
    if (stage == 0) {
        int x = 0, y = 0;
        std::string why;
        const std::string entry = Rest(play.args, 1);
        if (!play.target.PanelEntryCentre(play.args[0], entry, &x, &y, &why)) {
            // An entry below or above what the bar shows: the wheel over the
            // bar scrolls it nearer, a notch a frame.
            if (const int notches = play.target.PanelScrollToward(play.args[0], entry, &x, &y);
                notches != 0 && play.frame < kPanelFrames) {
                play.target.MovePointer(x, y);
                play.target.Wheel(notches);
                return StepState::Again;
            }
            if (play.frame < kPanelFrames) return StepState::Again;
            play.error = why;
            return StepState::Failed;
        }
        play.target.MovePointer(x, y);
    } else if (stage == 1) {
        play.target.Button(0, true);
    } else if (stage == 2) {
        play.target.Button(0, false);
        if (!play.target.PanelEntryHeld(play.args[0], Rest(play.args, 1), &play.error)) return StepState::Failed;
    } else {
        return StepState::Done;
    }
    ++stage;
    return StepState::Again;
}

// At least one word.
bool AcceptWords(const Args& args) {
    return !args.empty();
}

// dialog PATH|cancel: the answer of the next file dialog.
StepState PlayDialog(StepPlay& play) {
    const std::string answer = Rest(play.args, 0);
    if (answer == "cancel")
        play.target.CancelDialog();
    else
        play.target.AnswerDialog(answer);
    return StepState::Done;
}

// answer LABEL: the next question box is answered by a click on that button.
bool AcceptAnswer(const Args& args) {
    return args.size() == 1;
}

StepState PlayAnswer(StepPlay& play) {
    play.target.ClickAnswer(play.args[0]);
    return StepState::Done;
}

// close: the window closed as its close button closes it.
StepState PlayClose(StepPlay& play) {
    play.target.CloseWindow();
    return StepState::Done;
}

// drop FILE...: one drop of the files at the pointer.
StepState PlayDrop(StepPlay& play) {
    return play.target.DropFiles(play.args, &play.error) ? StepState::Done : StepState::Failed;
}

// type TEXT: the words, joined by single blanks, typed into what has the keyboard.
StepState PlayType(StepPlay& play) {
    play.target.Type(Rest(play.args, 0));
    return StepState::Done;
}

// place CLASS: logs the own position of the first scene object with a
// component of the class, as "SCRIPT PLACE: CLASS x y z".
bool AcceptPlace(const Args& args) {
    return args.size() == 1;
}

StepState PlayPlace(StepPlay& play) {
    float place[3] = {0, 0, 0};
    if (!play.target.ComponentPlace(play.args[0], place, &play.error)) return StepState::Failed;
    Log("SCRIPT PLACE: %s %.4f %.4f %.4f", play.args[0].c_str(), place[0], place[1], place[2]);
    return StepState::Done;
}

bool AcceptNothing(const Args& args) {
    return args.empty();
}

StepState PlayQuit(StepPlay&) {
    return StepState::End;
}

}  // namespace

const std::vector<ScriptCommand>& ScriptCommand::Table() {
    static const std::vector<ScriptCommand> table = {
        {"wait", "wait FRAMES", &AcceptWait, &PlayWait},
        {"until", "until active|inactive|paused|running SYSTEM [FRAMES]", &AcceptUntil, &PlayUntil},
        {"key", "key VK down|up", &AcceptKey, &PlayKey},
        {"tap", "tap VK", &AcceptTap, &PlayTap},
        {"move", "move X Y", &AcceptPoint, &PlayMove},
        {"press", "press left|right", &AcceptButton, &PlayPress},
        {"release", "release left|right", &AcceptButton, &PlayRelease},
        {"click", "click X Y", &AcceptPoint, &PlayClick},
        {"shot", "shot NAME", &AcceptShot, &PlayShot},
        {"panel", "panel BAR ENTRY", &AcceptPanel, &PlayPanel},
        {"dialog", "dialog PATH|cancel", &AcceptWords, &PlayDialog},
        {"answer", "answer LABEL", &AcceptAnswer, &PlayAnswer},
        {"close", "close", &AcceptNothing, &PlayClose},
        {"drop", "drop FILE...", &AcceptWords, &PlayDrop},
        {"type", "type TEXT", &AcceptWords, &PlayType},
        {"place", "place CLASS", &AcceptPlace, &PlayPlace},
        {"quit", "quit", &AcceptNothing, &PlayQuit},
    };
    return table;
}

const ScriptCommand* ScriptCommand::Find(const std::string& name) {
    for (const ScriptCommand& command : Table())
        if (name == command.name) return &command;
    return nullptr;
}
