#include "app/CommandLine.h"

#include <algorithm>

std::string JoinArguments(int argc, const char* const* argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return text;
}

std::vector<std::string> SplitCommandLine(const char* text) {
    std::vector<std::string> words;
    if (text == nullptr) return words;
    const std::string line = text;
    std::string::size_type at = line.find_first_not_of(' ');
    while (at != std::string::npos) {
        const std::string::size_type end = line.find(' ', at);
        words.push_back(line.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? end : line.find_first_not_of(' ', end);
    }
    return words;
}

std::vector<std::string>::const_iterator FindEditorSwitch(std::vector<std::string>::const_iterator first,
                                                          std::vector<std::string>::const_iterator last) {
    return std::find(first, last, std::string("-e"));
}
