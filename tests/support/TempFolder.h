// A new empty folder under the system's temporary folder, removed with all it
// holds when the owner goes. Path() is empty when the folder could not be made.
#pragma once
#include <string>

class TempFolder {
public:
    explicit TempFolder(const char* prefix = "ddtest");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};
