#include "port/dialogs/FileDialogBrowser.h"

#include <imgui.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool GlobMatch(const char* pattern, const char* text) {
    if (*pattern == '\0') return *text == '\0';
    if (*pattern == '*') return GlobMatch(pattern + 1, text) || (*text && GlobMatch(pattern, text + 1));
    if (*text == '\0') return false;
    if (*pattern != '?' &&
        std::tolower(static_cast<unsigned char>(*pattern)) != std::tolower(static_cast<unsigned char>(*text)))
        return false;
    return GlobMatch(pattern + 1, text + 1);
}

}  // namespace

std::vector<std::string> FileDialogBrowser::ParseFilters(const char* list) {
    std::vector<std::string> out;
    if (!list) return out;
    // Strings one after another, each ended by NUL, the list by an empty one.
    for (const char* p = list; *p; p += std::char_traits<char>::length(p) + 1) out.emplace_back(p);
    if (out.size() % 2) out.pop_back();
    return out;
}

bool FileDialogBrowser::MatchesPattern(const std::string& name, const std::string& patterns) {
    size_t start = 0;
    while (start <= patterns.size()) {
        size_t end = patterns.find(';', start);
        if (end == std::string::npos) end = patterns.size();
        std::string one = patterns.substr(start, end - start);
        // "*.*" means every file, with or without a dot.
        if (one == "*.*" || GlobMatch(one.c_str(), name.c_str())) return true;
        start = end + 1;
    }
    return false;
}

std::string FileDialogBrowser::Compose(const std::string& folder, const std::string& name) {
    if (name.empty() || name[0] == '/' || folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

FileDialogBrowser::FileDialogBrowser(const FileDialogRecord& record, bool save)
    : record_(record), save_(save), filters_(ParseFilters(record.lpstrFilter)) {
    const uint32_t pairs = static_cast<uint32_t>(filters_.size() / 2);
    filterIndex_ = pairs == 0 ? 0 : std::clamp<uint32_t>(record.nFilterIndex == 0 ? 1 : record.nFilterIndex, 1, pairs);
    folder_ = record.lpstrInitialDir && *record.lpstrInitialDir ? record.lpstrInitialDir : ".";
    Refresh();
}

void FileDialogBrowser::Refresh() {
    folders_.clear();
    files_.clear();
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            folders_.push_back(name);
        } else if (filterIndex_ == 0 || MatchesPattern(name, filters_[2 * (filterIndex_ - 1) + 1])) {
            files_.push_back(name);
        }
    }
    std::sort(folders_.begin(), folders_.end());
    std::sort(files_.begin(), files_.end());
}

bool FileDialogBrowser::Confirm(const std::string& path) {
    std::error_code ec;
    if (path.empty()) {
        error_ = "No file name.";
        return false;
    }
    if (fs::is_directory(path, ec)) {
        error_ = "\"" + path + "\" is a folder.";
        return false;
    }
    if ((record_.Flags & OFN_FILEMUSTEXIST) && !fs::is_regular_file(path, ec)) {
        error_ = "\"" + path + "\" does not exist.";
        return false;
    }
    const fs::path parent = fs::path(path).parent_path();
    if ((record_.Flags & OFN_PATHMUSTEXIST) && !parent.empty() && !fs::is_directory(parent, ec)) {
        error_ = "The folder \"" + parent.string() + "\" does not exist.";
        return false;
    }
    if (path.size() + 1 > record_.nMaxFile) {
        error_ = "The path is too long.";
        return false;
    }
    chosen_ = path;
    state_ = State::Confirmed;
    return true;
}

void FileDialogBrowser::Frame() {
    ImGuiIO& io = ImGui::GetIO();
    const ImVec2 size(std::min(560.0f, io.DisplaySize.x), std::min(400.0f, io.DisplaySize.y));
    ImGui::SetNextWindowPos(ImVec2((io.DisplaySize.x - size.x) / 2, (io.DisplaySize.y - size.y) / 2), ImGuiCond_Always);
    ImGui::SetNextWindowSize(size, ImGuiCond_Always);
    std::string title = record_.lpstrTitle && *record_.lpstrTitle ? record_.lpstrTitle : (save_ ? "Save As" : "Open");
    ImGui::Begin((title + "###filedialog").c_str(), nullptr,
                 ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoResize |
                     ImGuiWindowFlags_NoMove);
    ImGui::TextUnformatted(folder_.c_str());
    std::string enter;  // a folder chosen in the list
    // Below the list: the name, the type, the line for a refusal, the buttons.
    ImGui::BeginChild(
        "entries", ImVec2(0, -(ImGui::GetFrameHeightWithSpacing() * 3 + ImGui::GetTextLineHeightWithSpacing())), true);
    if (ImGui::Selectable("../", false, ImGuiSelectableFlags_AllowDoubleClick) && ImGui::IsMouseDoubleClicked(0))
        enter = "..";
    for (const std::string& f : folders_)
        if (ImGui::Selectable((f + "/").c_str(), false, ImGuiSelectableFlags_AllowDoubleClick) &&
            ImGui::IsMouseDoubleClicked(0))
            enter = f;
    for (const std::string& f : files_) {
        if (ImGui::Selectable(f.c_str(), name_ == f, ImGuiSelectableFlags_AllowDoubleClick)) {
            name_ = f;
            if (ImGui::IsMouseDoubleClicked(0)) Confirm(Compose(folder_, name_));
        }
    }
    ImGui::EndChild();

    // The name field has the keys when the dialog opens, after a folder was
    // opened and after a refused name.
    if (ImGui::IsWindowAppearing() || focusName_) ImGui::SetKeyboardFocusHere();
    focusName_ = false;
    bool confirm = ImGui::InputText("File name", &name_, ImGuiInputTextFlags_EnterReturnsTrue);
    if (filters_.size() >= 2) {
        const char* shown = filters_[2 * (filterIndex_ - 1)].c_str();
        if (ImGui::BeginCombo("Type", shown)) {
            for (uint32_t i = 1; i <= filters_.size() / 2; ++i) {
                if (ImGui::Selectable(filters_[2 * (i - 1)].c_str(), i == filterIndex_) && i != filterIndex_) {
                    filterIndex_ = i;
                    Refresh();
                }
            }
            ImGui::EndCombo();
        }
    }
    // Why the last name was refused, in sight above the buttons.
    ImGui::TextColored(ImVec4(1.0f, 0.4f, 0.4f, 1.0f), "%s", error_.c_str());
    const float windowBottom = ImGui::GetWindowPos().y + ImGui::GetWindowSize().y;
    errorInSight_ = !error_.empty() && ImGui::GetItemRectMax().y <= windowBottom && ImGui::GetScrollY() == 0.0f;
    confirm |= ImGui::Button(save_ ? "Save" : "Open");
    ImGui::SameLine();
    if (ImGui::Button("Cancel") || ImGui::IsKeyPressed(io.KeyMap[ImGuiKey_Escape], false)) state_ = State::Cancelled;
    ImGui::End();

    if (state_ != State::Open) return;
    if (!enter.empty()) {
        std::error_code ec;
        fs::path next = enter == ".." ? fs::path(folder_).parent_path() : fs::path(folder_) / enter;
        if (enter == ".." && (next.empty() || fs::path(folder_).filename() == ".")) next = fs::path(folder_) / "..";
        folder_ = next.lexically_normal().string();
        if (folder_.empty()) folder_ = ".";
        error_.clear();
        focusName_ = true;
        Refresh();
        return;
    }
    if (confirm) {
        std::string path = Compose(folder_, name_);
        std::error_code ec;
        if (!name_.empty() && fs::is_directory(path, ec)) {  // a typed folder name opens it
            folder_ = fs::path(path).lexically_normal().string();
            name_.clear();
            error_.clear();
            focusName_ = true;
            Refresh();
            return;
        }
        if (!Confirm(path)) focusName_ = true;
    }
}
