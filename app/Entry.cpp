#include "app/Entry.h"

#include "app/Assembly.h"
#include "app/CommandLine.h"
#include "engine/Engine.h"
#include "engine/TypeId.h"
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

int RunProgram(const char* commandLine) {
    Assembly assembly;
    assembly.AssembleEngine();
    Engine* engine = assembly.GetEngine();
    engine->Init();
    TwHandleErrors(&OnTweakBarError);
    StartFromCommandLine(commandLine, engine);
    assembly.DisassembleEngine();
    return 0;
}
