// Tests only: answers for the question box, taken in order, one per question
// (by the answer's label; a label the question does not offer cancels it),
// and what was asked. Main thread only.
#pragma once

#include <string>
#include <vector>

void QuestionBoxScriptAnswer(const std::string& label);
void QuestionBoxScriptClear();

struct QuestionBoxRequest {
    std::string caption;
    std::string text;
    std::vector<std::string> answers;
    std::string answer;  // the label answered
};
// Every question asked since the last clear, in order.
const std::vector<QuestionBoxRequest>& QuestionBoxScriptRequests();
