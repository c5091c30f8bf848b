// The scripted run of end-to-end tests, set up from the environment:
// DD_INPUT_SCRIPT (a script file the InputDriver plays at the start of every
// frame), DD_FIXED_FRAME_TIME (seconds, every frame's dt) and DD_SHOT_DIR
// (the folder of `shot` pictures). With none set, Install does nothing and
// the run is a plain one. Owned by the program entry, made before and
// destroyed after the Engine; main thread only.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/InputScript.h"

class Engine;
class InputDriver;
class ProgramScriptTarget;

class ScriptedRun {
public:
    ScriptedRun();
    ~ScriptedRun();

    // False with the reason when the script file cannot be read or the frame
    // time is not a number of seconds above 0.
    bool ReadEnvironment(std::string* error);
    // The fixed frame time and the driver's frame hook, where set.
    void Install(Engine& engine);
    // The script had a line that does not fit or a step that failed.
    bool Failed() const;

private:
    std::optional<InputScript> script_;
    float fixedFrameSeconds_ = 0.0f;
    std::string shotFolder_;
    std::unique_ptr<ProgramScriptTarget> target_;
    std::unique_ptr<InputDriver> driver_;
};
