#include "app/Entry.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "app/Assembly.h"
#include "app/CommandLine.h"
#include "app/ScriptedRun.h"
#include "core/TypeId.h"
#include "engine/Engine.h"
#include "engine/Logger.h"
#include "platform/WindowsSystem.h"
#include "port/os/MessageBox.h"
#include "port/panels/TweakPanels.h"
#include "port/window/DisplayLoss.h"
#include "reflection/TweakBinding.h"
#include "render/IGraphics.h"
#include "scene/SceneManager.h"

// The two start systems; only their type ids are needed here.
class Editor;
class SplashScreen;

void StartFromCommandLine(const char* commandLine, Engine* engine) {
    const std::vector<std::string> words = SplitCommandLine(commandLine);
    const bool editing = FindEditorSwitch(words.begin(), words.end()) != words.end();
    const u32 startSystem = editing ? TypeId<Editor>::Get() : TypeId<SplashScreen>::Get();
    if (ISystem* system = engine->GetSystem(startSystem)) {
        system->SetActive(true);
        system->Activate();
    } else if (SceneManager* scenes = SceneManager::Instance()) {
        // No start screen to choose a level with: an empty scene under its
        // owner, which offers the scene files.
        scenes->ClearScene();
    }
    engine->Update(0.0f);
}

namespace {
// Test only: the smoke test sets this variable to check that a fault of the
// running program ends in the three crash dumps. Never set in real runs.
constexpr const char* kTestFaultVariable = "DD_TEST_FORCE_FAULT";

void ForceFaultWhenTestAsks() {
    const char* value = std::getenv(kTestFaultVariable);
    if (value && *value == '1') std::raise(SIGSEGV);
}

// Test only: with this variable set the start-up stops before the frame loop
// until a signal ends the process, as a start-up blocked on a file would.
constexpr const char* kTestStallVariable = "DD_TEST_STALL_STARTUP";

void StallWhenTestAsks() {
    const char* value = std::getenv(kTestStallVariable);
    if (!value || *value != '1') return;
    Log("Start-up stalled for a test");
    if (Logger* logger = Logger::Instance()) logger->FlushFrame(10);
    for (;;) ::pause();
}

// What the program cannot run without and does not have, told to the user;
// "" when it has a window and a render device.
std::string MissingDeviceText(Engine& engine) {
    const WindowsSystem* windows = engine.GetSystem<WindowsSystem>();
    if (windows && !windows->GetWindow())
        return "CreateWindow FAILED: no window could be made (" + windows->WindowError() + ").";
    const IGraphics* graphics = IGraphics::Find(&engine);
    if (graphics && !graphics->HasDevice())
        return "No render device: this program needs OpenGL 4.5 (core profile), which the graphics driver "
               "does not offer (" +
               graphics->DeviceError() + ").";
    return "";
}
}  // namespace

int RunProgram(const char* commandLine) {
    ScriptedRun scripted;
    std::string scriptError;
    if (!scripted.ReadEnvironment(&scriptError)) {
        std::fprintf(stderr, "DevozizuDave: %s\n", scriptError.c_str());
        return 2;
    }
    Assembly assembly;
    if (!assembly.Assemble()) {
        std::fprintf(stderr, "DevozizuDave: %s\n", assembly.FailureText().c_str());
        return 1;
    }
    Engine* engine = assembly.GetEngine();
    engine->Init();
    const std::string missing = MissingDeviceText(*engine);
    if (!missing.empty() && DisplayLoss::FoundServerGone()) {
        // The server went away while the window or the device was made: the
        // window's pump tells the loss in its row, and the run ends as a lost
        // display, not as a missing driver.
        if (WindowsSystem* windows = engine->GetSystem<WindowsSystem>()) windows->Update(0.0f);
    } else if (!missing.empty()) {
        // Unattended runs get the text on stderr (and in the log).
        ShowMessageBox(missing.c_str(), "DevozizuDave cannot start");
        return 1;
    } else {
        scripted.Install(*engine);
        TwHandleErrors(&OnTweakBarError);
        ForceFaultWhenTestAsks();
        StallWhenTestAsks();
        StartFromCommandLine(commandLine, engine);
    }
    if (Logger* logger = Logger::Instance())
        Log("Shutdown: frame loop ended after %u frames", static_cast<unsigned>(logger->FrameCounter()));
    assembly.Disassemble();
    if (const char* display = DisplayLoss::LostDisplay()) {
        std::fprintf(stderr, "DevozizuDave: lost the display %s (its X server went away); the run ended\n", display);
        return DisplayLoss::kExitStatus;
    }
    return scripted.Failed() ? 2 : 0;
}
