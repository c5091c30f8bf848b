#include "core/ShownText.h"

std::string ShownText(const std::string& text) {
    std::string shown = text.substr(0, kShownBytes);
    for (char& c : shown)
        if ((c < 0x20 && c != '\t') || c > 0x7e) c = '?';
    if (text.size() > kShownBytes) shown += "... (" + std::to_string(text.size()) + " bytes)";
    return shown;
}
