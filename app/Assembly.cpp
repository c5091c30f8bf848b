#include "app/Assembly.h"

#include <cstring>
#include <filesystem>

#include "app/ClassRegistrations.h"
#include "app/SystemTable.h"
#include "core/IdCounter.h"
#include "core/LogSink.h"
#include "core/ShownText.h"
#include "engine/Engine.h"
#include "engine/Graveyard.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "port/os/MessageBox.h"
#include "port/os/QuitSignals.h"
#include "port/os/WholeFileWriter.h"
#include "port/window/DisplayLoss.h"
#include "reflection/MetaRegistry.h"
#include "render/effect/EffectLoader.h"
#include "render/frame/RenderDevice.h"
#include "render/frame/RenderResources.h"
#include "render/mesh/ModelCache.h"
#include "render/mesh/NoiseGenerator.h"
#include "render/text/FontManager.h"
#include "scene/DevozizuDave.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"

namespace {
// The text with every mention of the asset root left out, so that files are
// named as the player knows them ("scene/Foo.scn"). Before the folders are
// read (the start-up file's own faults) the text stays whole.
std::string AssetRelative(const std::string& text) {
    const DevozizuDave* folders = DevozizuDave::Instance();
    const std::string root = folders ? folders->scene.baseFolder : std::string();
    if (root.size() < 2) return text;  // none yet, or the file system's root
    std::string shown;
    std::size_t from = 0;
    for (std::size_t at = text.find(root); at != std::string::npos; at = text.find(root, from)) {
        shown.append(text, from, at - from);
        from = at + root.size();
    }
    return shown.append(text, from, std::string::npos);
}

// Script failures (a missing start-up file, a broken scene) reach the user
// through the program's message box, naming files from the asset folder; the
// log keeps the whole path.
void ReportThroughMessageBox(const std::string& caption, const std::string& text) {
    const std::string shown = AssetRelative(text);
    if (shown != text) Log("%s: %s", caption.c_str(), text.c_str());
    ShowMessageBox(shown.c_str(), caption.c_str());
}

// A missing file most likely means the program was started elsewhere; a file
// that is there but fails is named with the line and the text Lua gave.
std::string StartupFailureText(const DevozizuDave::LoadFailure& failure) {
    if (failure.missing)
        return "the start-up file \"DevozizuDave.init\" is missing or broken; start the program in the "
               "asset folder (assets/), which holds it.";
    std::string text = "the start-up file \"" + failure.file + "\" cannot be used: ";
    if (failure.line > 0) text += "line " + std::to_string(failure.line) + ": ";
    return text + failure.text;
}

// Rows of the layers below the Logger (reflection, core) become log rows.
void LogSinkRow(const char* row) {
    Log("%s", row);
}

// Runs on the quit-signal watcher thread just before the process ends at once.
void WriteLogBeforeQuitting(int signal, bool frameStuck) {
    Logger* logger = Logger::Instance();
    if (!logger) return;
    if (frameStuck)
        logger->WriteQueuedNow("Quit signal " + std::to_string(signal) + ": the running frame did not end within " +
                               std::to_string(kQuitGraceMilliseconds) + " ms; ending at once");
    else
        logger->WriteQueuedNow("Quit signal " + std::to_string(signal) +
                               " before the frame loop ran, or a second one: ending at once");
}

// Runs on the main thread (perhaps inside Xlib) when the display connection
// fails in a way the program cannot go on from; the process ends right after.
void WriteLogBeforeDisplayExit(const char* why) {
    if (Logger* logger = Logger::Instance()) logger->WriteQueuedNow(std::string("WindowsSystem: ") + why);
}
}  // namespace

Assembly::~Assembly() {
    Disassemble();
}

bool Assembly::CreateServices() {
    services_.Create<MessageHub>("MessageHub");
    services_.Create<IdCounter>("IdCounter", 1u);
    services_.Create<MetaRegistry>("MetaRegistry");
    SceneLoader::SetFailureReporter(&ReportThroughMessageBox);
    services_.Create<SceneLoader>("SceneLoader");
    DevozizuDave& folders = services_.Create<DevozizuDave>("DevozizuDave");
    if (!folders.Load()) {
        failureText_ = StartupFailureText(folders.GetLoadFailure());
        return false;
    }
    try {
        services_.Create<Logger>("Logger", folders.log.path, folders.log.extension);
    } catch (u32 error) {
        // A log folder named by the start-up file that cannot be made (or a
        // log file that cannot be opened) is a set-up fault, not a crash.
        failureText_ = "the log folder \"" + ShownText(folders.log.path) +
                       "\" cannot be made or its log file opened (" + std::strerror(static_cast<int>(error)) + ").";
        ShowMessageBox(failureText_.c_str(), "Log failed");
        return false;
    }
    SetLogSink(&LogSinkRow);
    // Reported before the log existed: now in it too.
    for (const std::string& refusal : folders.GetRefusals()) Log("Load scene failed: %s", refusal.c_str());
    SetQuitSignalExitHook(&WriteLogBeforeQuitting);
    DisplayLoss::SetExitHook(&WriteLogBeforeDisplayExit);
    // Saves go to a temporary file beside their target; a run killed while
    // saving leaves it behind. Only names of the folder's extension are the
    // saves' own: a designer's other files stay.
    for (const FilePath* folder : {&folders.scene, &folders.arch}) {
        const std::string noName = folder->GetFullPath("");  // the folder, then the extension
        const std::string path = noName.substr(0, noName.size() - folder->extension.size());
        for (const std::string& name : RemoveLeftoverTemporaries(path, folder->extension))
            Log("Removed %s%s, left by a save that did not finish", path.c_str(), name.c_str());
    }
    services_.Create<RenderDevice>("RenderDevice");
    services_.Create<Graveyard>("Graveyard");
    services_.Create<Overlord>("Overlord");
    services_.Create<ObjectFactory>("ObjectFactory");
    services_.Create<SceneManager>("SceneManager");
    engine_ = &services_.Create<Engine>("Engine");
    services_.Create<ModelCache>("ModelCache");
    services_.Create<RenderResources>("RenderResources");
    services_.Create<FontManager>("FontManager");
    services_.Create<NoiseGenerator>("NoiseGenerator");
    services_.Create<EffectLoader>("EffectLoader");
    return true;
}

bool Assembly::Assemble(u64 instanceHandle) {
    if (!CreateServices()) {
        Disassemble();
        return false;
    }
    ClassRegistrations::RegisterAll(MetaRegistry::Get(), ObjectFactory::Get());
    PreloadDlls(DevozizuDave::Get());
    SystemTable::CreateSystems(*engine_, MetaRegistry::Get(), instanceHandle);
    return true;
}

void Assembly::Disassemble() {
    services_.DestroyAll([](const std::string& name) {
        if (Logger::Instance()) Log("Shutdown: %s", name.c_str());
        if (name == "Logger") {
            SetQuitSignalExitHook(nullptr);
            DisplayLoss::SetExitHook(nullptr);
        }
    });
    SetQuitSignalExitHook(nullptr);
    DisplayLoss::SetExitHook(nullptr);
    engine_ = nullptr;
    SceneLoader::SetFailureReporter(nullptr);
    SetLogSink(nullptr);
}

const std::vector<std::string>& Assembly::PreloadedLibraryNames() {
    static const std::vector<std::string> names = {"fmodex", "AntTweakBar"};
    return names;
}

void Assembly::PreloadDlls(const DevozizuDave& folders) {
    for (const std::string& name : PreloadedLibraryNames()) {
        const std::string path = folders.externals.GetFullPath(name);
        std::error_code error;
        if (std::filesystem::exists(path, error))
            Log("PreloadDlls: %.200s is not loaded (no library runs from an asset folder); the built-in layer serves",
                path.c_str());
    }
}
