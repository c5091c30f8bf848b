#include "port/os/SharedLibrary.h"

#include <dlfcn.h>

bool LoadSharedLibrary(const std::string& path, std::string* error) {
    // A name without '/' would be looked up along the library search path;
    // only the named file is meant.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    if (dlopen(file.c_str(), RTLD_LAZY | RTLD_LOCAL)) return true;
    if (error) {
        const char* reason = dlerror();
        *error = reason ? reason : "unknown reason";
    }
    return false;
}
