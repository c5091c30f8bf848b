// Tests only: answers for the file dialogs, taken in order, one per dialog,
// and what the dialogs were asked. A path answer goes through the dialog's
// checks (the record's flags, the buffer size) like a typed name; a name
// without folder is taken in the dialog's starting folder. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

void FileDialogScriptAnswer(const std::string& path);
void FileDialogScriptCancel();
void FileDialogScriptClear();

struct FileDialogRequest {
    bool save = false;
    std::string title;
    std::string initialDir;
    std::vector<std::string> filters;  // display text and pattern, alternating
    uint32_t filterIndex = 0;
    uint32_t flags = 0;
    bool answered = false;  // false: cancelled
    std::string path;       // the path given back, when answered
    // The in-window browser's reasons for refusing typed names, in order, and
    // whether each showed inside the dialog the moment it was given.
    std::vector<std::string> refusals;
    bool refusalsInSight = true;
};
// Every dialog shown since the last clear, in order.
const std::vector<FileDialogRequest>& FileDialogScriptRequests();

// Lets the in-window browser run although the run looks unattended (tests
// that drive the browser with pushed events).
void FileDialogForceInteractive(bool interactive);
