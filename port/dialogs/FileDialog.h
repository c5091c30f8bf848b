// The open and save file dialogs: an in-window file browser drawn with ImGui
// over the port window, modal (the call returns when the user confirms or
// cancels). The record keeps the fields the editor fills: a filter list of
// (display text, pattern) pairs, each string NUL-terminated and the list
// ended by a second NUL; the chosen filter (1-based); the file buffer that
// receives the chosen path; the starting folder; the title; flags. An
// unattended run answers from the script queue (FileDialogScript.h) or
// cancels at once. Main thread only.
#pragma once

#include <cstdint>

constexpr uint32_t OFN_PATHMUSTEXIST = 0x00000800;
constexpr uint32_t OFN_FILEMUSTEXIST = 0x00001000;

struct FileDialogRecord {
    uint32_t lStructSize = 88;
    const char* lpstrFilter = nullptr;
    uint32_t nFilterIndex = 1;
    char* lpstrFile = nullptr;
    uint32_t nMaxFile = 0;
    const char* lpstrInitialDir = nullptr;
    const char* lpstrTitle = nullptr;
    uint32_t Flags = 0;
};

// True when a file was chosen: its path (folder, '/', name) is in
// lpstrFile. False on cancel, or when the path does not fit nMaxFile
// (lpstrFile is then left as it was).
bool GetOpenFileNameA(FileDialogRecord* record);
bool GetSaveFileNameA(FileDialogRecord* record);
