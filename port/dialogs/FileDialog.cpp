#include "port/dialogs/FileDialog.h"

#include "port/dialogs/FileDialogBrowser.h"
#include "port/dialogs/FileDialogScript.h"
#include "port/dialogs/ModalLoop.h"
#include "port/os/MessageBox.h"

#include <cstring>
#include <deque>
#include <optional>

namespace {

std::deque<std::optional<std::string>> gAnswers;
std::vector<FileDialogRequest> gRequests;

// The browser in the modal loop, noting each refusal it shows.
class BrowserContent : public ModalContent {
public:
    BrowserContent(FileDialogBrowser& browser, FileDialogRequest& request) : browser_(browser), request_(request) {}
    bool IsOpen() const override { return browser_.GetState() == FileDialogBrowser::State::Open; }
    void Cancel() override { browser_.Cancel(); }
    void Frame() override {
        const std::string shown = browser_.Error();  // what this frame draws
        browser_.Frame();
        if (!shown.empty() && (request_.refusals.empty() || request_.refusals.back() != shown)) {
            request_.refusals.push_back(shown);
            request_.refusalsInSight = request_.refusalsInSight && browser_.ErrorInSight();
        }
    }

private:
    FileDialogBrowser& browser_;
    FileDialogRequest& request_;
};

bool RunDialog(FileDialogRecord* record, bool save) {
    if (!record || !record->lpstrFile || record->nMaxFile == 0) return false;
    FileDialogRequest request;
    request.save = save;
    request.title = record->lpstrTitle ? record->lpstrTitle : "";
    request.initialDir = record->lpstrInitialDir ? record->lpstrInitialDir : "";
    request.filters = FileDialogBrowser::ParseFilters(record->lpstrFilter);
    request.filterIndex = record->nFilterIndex;
    request.flags = record->Flags;

    FileDialogBrowser browser(*record, save);
    if (!gAnswers.empty()) {
        std::optional<std::string> answer = gAnswers.front();
        gAnswers.pop_front();
        const std::string folder = record->lpstrInitialDir ? record->lpstrInitialDir : "";
        if (answer && !browser.Confirm(FileDialogBrowser::Compose(folder, *answer))) {
            // A person would read the refusal in the dialog and answer again;
            // a script cannot, so the reason goes on record before the cancel.
            request.refusals.push_back(browser.Error());
            const std::string text = "The answer \"" + *answer + "\" is refused: " + browser.Error();
            RecordMessage(text.c_str(), request.title.empty() ? (save ? "Save As" : "Open") : request.title.c_str());
        }
        if (browser.GetState() != FileDialogBrowser::State::Confirmed) browser.Cancel();
    } else if (ModalDialogsUnattended()) {
        browser.Cancel();
    } else {
        BrowserContent content(browser, request);
        RunModalLoop(content);
    }

    const bool confirmed = browser.GetState() == FileDialogBrowser::State::Confirmed;
    if (confirmed) {
        const std::string& path = browser.ChosenPath();
        std::memcpy(record->lpstrFile, path.c_str(), path.size() + 1);  // fits: checked by Confirm
        if (browser.ChosenFilter() != 0) record->nFilterIndex = browser.ChosenFilter();
        request.answered = true;
        request.path = path;
    }
    gRequests.push_back(request);
    return confirmed;
}

}  // namespace

bool GetOpenFileNameA(FileDialogRecord* record) {
    return RunDialog(record, false);
}

bool GetSaveFileNameA(FileDialogRecord* record) {
    return RunDialog(record, true);
}

void FileDialogScriptAnswer(const std::string& path) {
    gAnswers.emplace_back(path);
}

void FileDialogScriptCancel() {
    gAnswers.emplace_back(std::nullopt);
}

void FileDialogScriptClear() {
    gAnswers.clear();
    gRequests.clear();
}

const std::vector<FileDialogRequest>& FileDialogScriptRequests() {
    return gRequests;
}

void FileDialogForceInteractive(bool interactive) {
    ModalDialogsForceInteractive(interactive);
}
