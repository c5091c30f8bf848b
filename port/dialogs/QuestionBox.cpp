#include "port/dialogs/QuestionBox.h"

#include "port/dialogs/ModalLoop.h"
#include "port/dialogs/QuestionBoxScript.h"
#include "port/window/WindowTestInput.h"

#include <imgui.h>

#include <algorithm>
#include <deque>

namespace {

std::deque<std::string> gAnswers;
std::deque<std::string> gClicks;
std::vector<QuestionBoxRequest> gRequests;

class QuestionContent : public ModalContent {
public:
    // click: the label of the button a scripted click presses ("" for none).
    QuestionContent(const QuestionBoxRequest& request, size_t cancelAnswer, std::string click = "")
        : request_(request), cancel_(cancelAnswer), click_(std::move(click)) {}
    bool IsOpen() const override { return !answered_; }
    void Cancel() override { Answer(cancel_); }
    void Frame() override {
        ImGuiIO& io = ImGui::GetIO();
        const float width = std::min(460.0f, io.DisplaySize.x);
        ImGui::SetNextWindowPos(ImVec2(io.DisplaySize.x / 2, io.DisplaySize.y / 2), ImGuiCond_Always,
                                ImVec2(0.5f, 0.5f));
        ImGui::SetNextWindowSize(ImVec2(width, 0.0f), ImGuiCond_Always);
        ImGui::Begin((request_.caption + "###question").c_str(), nullptr,
                     ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoResize |
                         ImGuiWindowFlags_NoMove);
        ImGui::TextWrapped("%s", request_.text.c_str());
        ImGui::Spacing();
        for (size_t i = 0; i < request_.answers.size(); ++i) {
            if (i > 0) ImGui::SameLine();
            if (ImGui::Button(request_.answers[i].c_str())) Answer(i);
            if (request_.answers[i] == click_) PushScriptedClick();
        }
        if (!click_.empty() && ++clickFrames_ > kScriptedClickFrames) Cancel();
        if (ImGui::IsKeyPressed(io.KeyMap[ImGuiKey_Escape], false)) Cancel();
        ImGui::End();
    }
    size_t Chosen() const { return chosen_; }

private:
    // Once the box has its size (a few frames), the pointer onto the button
    // just drawn; a few frames later, the pointer over it, its press and
    // release.
    void PushScriptedClick() {
        const ImVec2 low = ImGui::GetItemRectMin(), high = ImGui::GetItemRectMax();
        const int x = static_cast<int>((low.x + high.x) / 2), y = static_cast<int>((low.y + high.y) / 2);
        if (clickStage_ == 3) TestPushMouseMove(x, y);
        if (clickStage_ == 6) {
            TestPushMouseButton(0, true, x, y);
            TestPushMouseButton(0, false, x, y);
        }
        ++clickStage_;
    }
    void Answer(size_t index) {
        if (answered_) return;
        answered_ = true;
        chosen_ = index;
    }

    const QuestionBoxRequest& request_;
    size_t cancel_;
    std::string click_;
    int clickStage_ = 0;
    int clickFrames_ = 0;
    bool answered_ = false;
    size_t chosen_ = 0;
};

}  // namespace

size_t AskQuestion(const std::string& caption, const std::string& text, const std::vector<std::string>& answers,
                   size_t cancelAnswer) {
    QuestionBoxRequest request{caption, text, answers, ""};
    size_t chosen = cancelAnswer;
    if (!gClicks.empty()) {
        const std::string label = gClicks.front();
        gClicks.pop_front();
        if (std::find(answers.begin(), answers.end(), label) != answers.end()) {
            QuestionContent content(request, cancelAnswer, label);
            RunModalLoop(content);
            chosen = content.Chosen();
        }
    } else if (!gAnswers.empty()) {
        const auto at = std::find(answers.begin(), answers.end(), gAnswers.front());
        gAnswers.pop_front();
        if (at != answers.end()) chosen = static_cast<size_t>(at - answers.begin());
    } else if (!ModalDialogsUnattended()) {
        QuestionContent content(request, cancelAnswer);
        RunModalLoop(content);
        chosen = content.Chosen();
    }
    if (chosen < answers.size()) request.answer = answers[chosen];
    gRequests.push_back(request);
    return chosen;
}

void QuestionBoxScriptAnswer(const std::string& label) {
    gAnswers.push_back(label);
}

void QuestionBoxScriptClick(const std::string& label) {
    gClicks.push_back(label);
}

void QuestionBoxScriptClear() {
    gAnswers.clear();
    gClicks.clear();
    gRequests.clear();
}

const std::vector<QuestionBoxRequest>& QuestionBoxScriptRequests() {
    return gRequests;
}
