// Loading a shared library by path (the stand-in for LoadLibraryA). A loaded
// library stays for the rest of the process; its symbols are kept local, so
// it cannot replace the program's own. Any thread.
#pragma once
#include <string>

// True when the library was loaded (or already was); otherwise false with the
// loader's reason in *error.
bool LoadSharedLibrary(const std::string& path, std::string* error);
