#include "app/ScriptedRun.h"

#include <cmath>
#include <cstdlib>

#include "app/InputDriver.h"
#include "app/ProgramScriptTarget.h"
#include "engine/Engine.h"

namespace {
constexpr const char* kScriptVariable = "DD_INPUT_SCRIPT";
constexpr const char* kFrameTimeVariable = "DD_FIXED_FRAME_TIME";
constexpr const char* kShotFolderVariable = "DD_SHOT_DIR";
constexpr double kShortestFrameSeconds = 1e-4;
constexpr double kLongestFrameSeconds = 1.0;

// The variable's value; empty when it is unset.
std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
}  // namespace

ScriptedRun::ScriptedRun() = default;
ScriptedRun::~ScriptedRun() = default;

bool ScriptedRun::ReadEnvironment(std::string* error) {
    const std::string frameTime = Variable(kFrameTimeVariable);
    if (!frameTime.empty()) {
        char* end = nullptr;
        const double seconds = std::strtod(frameTime.c_str(), &end);
        // The frame time is a float: the range keeps it a usable step (not 0,
        // which would mean the measured time, nor infinite).
        if (*end != '\0' || !(seconds >= kShortestFrameSeconds && seconds <= kLongestFrameSeconds)) {
            *error = std::string(kFrameTimeVariable) + " is \"" + frameTime.substr(0, 64) +
                     "\", not a number of seconds from 0.0001 to 1";
            return false;
        }
        fixedFrameSeconds_ = static_cast<float>(seconds);
    }
    shotFolder_ = Variable(kShotFolderVariable);
    const std::string path = Variable(kScriptVariable);
    if (path.empty()) return true;
    InputScript script;
    std::string why;
    if (!InputScript::Load(path, &script, &why)) {
        *error = "the input script \"" + path + "\" (" + kScriptVariable + ") cannot be read: " + why;
        return false;
    }
    script_ = std::move(script);
    return true;
}

void ScriptedRun::Install(Engine& engine) {
    if (fixedFrameSeconds_ > 0.0f) engine.SetFixedFrameTime(fixedFrameSeconds_);
    if (!script_) return;
    target_ = std::make_unique<ProgramScriptTarget>(engine, shotFolder_);
    driver_ = std::make_unique<InputDriver>(std::move(*script_), *target_);
    engine.SetFrameStartHook([driver = driver_.get()] { driver->BeginFrame(); });
}

bool ScriptedRun::Failed() const {
    return driver_ && driver_->Failed();
}
