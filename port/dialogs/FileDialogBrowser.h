// The state and one ImGui frame of the in-window file browser: the current
// folder and its listing (folders first, files through the chosen filter),
// the typed file name, the checks of the record's flags. FileDialog.cpp runs
// it in a modal loop. Main thread only.
#pragma once

#include "port/dialogs/FileDialog.h"

#include <string>
#include <vector>

class FileDialogBrowser {
public:
    enum class State { Open, Confirmed, Cancelled };

    FileDialogBrowser(const FileDialogRecord& record, bool save);

    // Builds the browser's ImGui window for the current frame.
    void Frame();
    State GetState() const { return state_; }
    const std::string& ChosenPath() const { return chosen_; }
    uint32_t ChosenFilter() const { return filterIndex_; }
    // The reason the last name was refused ("" while none was).
    const std::string& Error() const { return error_; }
    // Whether the last frame showed that reason inside the dialog, unscrolled.
    bool ErrorInSight() const { return errorInSight_; }

    // Checks a path against the record (existence flags, buffer size); on
    // success the browser is confirmed with it, else the error is shown.
    bool Confirm(const std::string& path);
    void Cancel() { state_ = State::Cancelled; }

    // Helpers shared with the scripted answers.
    static std::vector<std::string> ParseFilters(const char* list);
    static bool MatchesPattern(const std::string& name, const std::string& patterns);
    static std::string Compose(const std::string& folder, const std::string& name);

private:
    void Refresh();

    FileDialogRecord record_;
    bool save_;
    std::vector<std::string> filters_;
    uint32_t filterIndex_;
    std::string folder_;
    std::string name_;
    std::vector<std::string> folders_;
    std::vector<std::string> files_;
    std::string error_;
    std::string chosen_;
    State state_ = State::Open;
    bool focusName_ = false;
    bool errorInSight_ = false;
};
