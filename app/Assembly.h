// The start-up assembly: creates the engine-wide services in their fixed
// order, registers the reflected classes (value types, component classes with
// their prototypes, plain structures), preloads the audio and tweak-panel
// libraries and creates the engine systems; at shutdown it destroys the
// services in the exact reverse order, each global instance pointer cleared
// as it goes. Owned by the program entry for the whole run; main thread only.
#pragma once
#include <string>
#include <vector>

#include "app/ServiceTable.h"
#include "core/Types.h"

class DevozizuDave;
class Engine;

class Assembly {
public:
    Assembly() = default;
    ~Assembly();  // disassembles what is still assembled

    // Every step in order. False when the start-up file cannot be read or
    // the log cannot be opened (reported; FailureText() says which; the
    // services made so far are destroyed again and nothing else is made).
    // Any other failure is an exception left to the crash handler.
    bool Assemble(u64 instanceHandle = 0);
    const std::string& FailureText() const { return failureText_; }
    // Destroys the services newest first, the message hub last. The log gets
    // one "Shutdown: " row per service while it exists.
    void Disassemble();

    Engine* GetEngine() const { return engine_; }
    const ServiceTable& Services() const { return services_; }

    // Loads nothing: asset folders come with levels, and a library's start-up
    // code would run with the program's rights. Our own audio and panel
    // layers are linked in; a file under the name "fmodex" or "AntTweakBar"
    // in the externals folder gets one row saying it is not loaded.
    static void PreloadDlls(const DevozizuDave& folders);
    static const std::vector<std::string>& PreloadedLibraryNames();

private:
    // Services 1 to 17 in order; false when the start-up file cannot be read
    // or the log cannot be opened.
    bool CreateServices();

    ServiceTable services_;
    std::string failureText_;
    Engine* engine_ = nullptr;
};
