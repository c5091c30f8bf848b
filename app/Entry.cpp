#include "app/Entry.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/Assembly.h"
#include "app/CommandLine.h"
#include "core/TypeId.h"
#include "engine/Engine.h"
#include "engine/Logger.h"
#include "port/panels/TweakPanels.h"
#include "reflection/TweakBinding.h"

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
}  // namespace

int RunProgram(const char* commandLine) {
    Assembly assembly;
    if (!assembly.Assemble()) {
        std::fprintf(stderr, "DevozizuDave: %s\n", assembly.FailureText().c_str());
        return 1;
    }
    Engine* engine = assembly.GetEngine();
    engine->Init();
    TwHandleErrors(&OnTweakBarError);
    ForceFaultWhenTestAsks();
    StartFromCommandLine(commandLine, engine);
    if (Logger* logger = Logger::Instance())
        Log("Shutdown: frame loop ended after %u frames", static_cast<unsigned>(logger->FrameCounter()));
    assembly.Disassemble();
    return 0;
}
