// A modal question in the window, drawn with ImGui: a caption, a text and a
// row of answer buttons (Escape or closing the window answers the cancel
// answer). An unattended run takes the next scripted answer
// (QuestionBoxScript.h) or the cancel answer at once. Main thread only.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The index of the answer chosen.
size_t AskQuestion(const std::string& caption, const std::string& text, const std::vector<std::string>& answers,
                   size_t cancelAnswer);
