// Tests only: answers for the question box, taken in order, one per question
// (by the answer's label; a label the question does not offer cancels it),
// and what was asked; and the scripted click. Main thread only.
#pragma once

#include <string>
#include <vector>

void QuestionBoxScriptAnswer(const std::string& label);
// Scripted runs and tests: the next question is drawn in the window and
// answered by a click on its button of that label where the box draws it
// (pointer events pushed to the window, one a frame, as a designer's click);
// a label the box does not offer, or a click the box does not take within
// kScriptedClickFrames, cancels it. Before the answers above.
void QuestionBoxScriptClick(const std::string& label);
constexpr int kScriptedClickFrames = 300;
void QuestionBoxScriptClear();

struct QuestionBoxRequest {
    std::string caption;
    std::string text;
    std::vector<std::string> answers;
    std::string answer;  // the label answered
};
// Every question asked since the last clear, in order.
const std::vector<QuestionBoxRequest>& QuestionBoxScriptRequests();
