#include "app/InputDriver.h"

#include <cstdio>

#include "app/ScriptTarget.h"
#include "core/ShownText.h"
#include "engine/Logger.h"

InputDriver::InputDriver(InputScript script, ScriptTarget& target) : script_(std::move(script)), target_(target) {}

void InputDriver::BeginFrame() {
    if (finished_) return;
    if (!script_.Fits()) {
        const InputScript::BadLine& bad = script_.FirstBadLine();
        Fail(bad.lineNumber, bad.line, bad.reason);
        return;
    }
    releasedKeys_.clear();
    const std::vector<InputScript::Step>& steps = script_.Steps();
    while (next_ < steps.size()) {
        const InputScript::Step& step = steps[next_];
        if (frame_ == 0) {
            Log("SCRIPT: %s", step.line.c_str());
            mark_ = 0;
        }
        StepPlay play{target_, step.args, frame_, {}, &mark_, &releasedKeys_};
        switch (step.command->play(play)) {
            case StepState::Again:
                ++frame_;
                return;
            case StepState::Done:
                ++next_;
                frame_ = 0;
                break;
            case StepState::Failed:
                Fail(step.lineNumber, step.line, play.error);
                return;
            case StepState::End:
                Finish();
                return;
        }
    }
    Finish();
}

void InputDriver::Fail(int lineNumber, const std::string& line, const std::string& reason) {
    const std::string shownLine = ShownText(line), shownReason = ShownText(reason);
    Log("SCRIPT FAILED: %s", shownLine.c_str());
    Log("SCRIPT REASON: line %d: %s", lineNumber, shownReason.c_str());
    std::fprintf(stderr, "DevozizuDave: input script line %d failed: %s (%s)\n", lineNumber, shownLine.c_str(),
                 shownReason.c_str());
    failed_ = true;
    Finish();
}

void InputDriver::Finish() {
    finished_ = true;
    target_.Quit();
}
