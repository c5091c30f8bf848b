// The commands of an input script, one table entry each: the name, the
// usage shown when a line does not fit, the check of the line's words and
// the playing of the step. A step that spans frames (wait, tap, click, until)
// is played once a frame until it is done. The table is constant; main
// thread only.
#pragma once
#include <string>
#include <vector>

#include "core/Types.h"

class ScriptTarget;

enum class StepState {
    Again,   // play the step again next frame
    Done,    // the next step starts in this frame
    Failed,  // the run fails; the reason is in StepPlay::error
    End,     // the script ends here
};

// One call of a step's play function.
struct StepPlay {
    ScriptTarget& target;
    const std::vector<std::string>& args;  // the words after the command's name
    u32 frame = 0;                         // frames since the step started: 0 in its first
    std::string error;                     // why, with StepState::Failed
    u32* mark = nullptr;                   // the step's own note across its frames; 0 when it starts
    // Keys released in this frame by earlier steps: a press of one waits a
    // frame, or the window would see one press where two were meant.
    std::vector<u32>* releasedKeys = nullptr;
};

struct ScriptCommand {
    const char* name;
    const char* usage;
    // Whether the words after the name fit: their count, numbers, keywords.
    bool (*accepts)(const std::vector<std::string>& args);
    StepState (*play)(StepPlay& play);

    // The command of that name; null when there is none.
    static const ScriptCommand* Find(const std::string& name);
    static const std::vector<ScriptCommand>& Table();
};
