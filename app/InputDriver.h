// Plays an input script on a target, called at the start of every frame:
// each step logs "SCRIPT: <line>" as it starts; steps are played in order
// until one needs a later frame. The end of the script, or `quit`, ends the
// frame loop. A line that does not fit or a step that fails logs "SCRIPT
// FAILED: <line>" and a "SCRIPT REASON:" row, tells stderr, and ends the
// loop; Failed() then says so. Made and owned by the scripted run; main
// thread only.
#pragma once
#include <string>
#include <vector>

#include "app/InputScript.h"

class ScriptTarget;

class InputDriver {
public:
    InputDriver(InputScript script, ScriptTarget& target);

    void BeginFrame();
    bool Failed() const { return failed_; }
    // The script has ended, failed or not; later frames play nothing.
    bool Finished() const { return finished_; }

private:
    void Fail(int lineNumber, const std::string& line, const std::string& reason);
    void Finish();

    InputScript script_;
    ScriptTarget& target_;
    size_t next_ = 0;                // the step playing, or the next to start
    u32 frame_ = 0;                  // frames the playing step has had before this one
    u32 mark_ = 0;                   // the playing step's note (StepPlay::mark)
    std::vector<u32> releasedKeys_;  // keys released in this frame (StepPlay::releasedKeys)
    bool finished_ = false;
    bool failed_ = false;
};
