#include "app/SystemTable.h"

#include "controls/GuiSystem.h"
#include "editor/mode/Editor.h"
#include "engine/Engine.h"
#include "engine/Queen.h"
#include "frontend/screens/ControlsMenu.h"
#include "frontend/screens/CreditsMenu.h"
#include "frontend/screens/FinMenu.h"
#include "frontend/screens/OptionsMenu.h"
#include "frontend/screens/PauseMenu.h"
#include "frontend/screens/SplashScreen.h"
#include "frontend/screens/StartMenu.h"
#include "game/physics/Physics.h"
#include "game/scene/BehaviorSystem.h"
#include "game/scene/GameLogic.h"
#include "platform/AudioSystem.h"
#include "platform/InputSystem.h"
#include "platform/WindowsSystem.h"
#include "reflection/MetaRegistry.h"
#include "render/frame/GraphicsSystem.h"

namespace {
using Entry = SystemTable::Entry;

template <class T>
ISystem* Make(u64) {
    return new T;
}

template <>
ISystem* Make<WindowsSystem>(u64 instanceHandle) {
    return new WindowsSystem(instanceHandle);
}

template <class T>
void EnterClass(const char* name, MetaRegistry& registry) {
    registry.Register<T>(name);
}

template <class T>
Entry System(const char* name) {
    return {name, &Make<T>, &EnterClass<T>};
}
}  // namespace

const std::vector<Entry>& SystemTable::Systems() {
    static const std::vector<Entry> systems = {
        System<WindowsSystem>("WindowsSystem"),
        System<GraphicsSystem>("GraphicsSystem"),
        System<Queen>("Queen"),
        System<GuiSystem>("GuiSystem"),
        System<FinMenu>("FinMenu"),
        System<SplashScreen>("SplashScreen"),
        System<CreditsMenu>("CreditsMenu"),
        System<ControlsMenu>("ControlsMenu"),
        System<OptionsMenu>("OptionsMenu"),
        System<StartMenu>("StartMenu"),
        System<PauseMenu>("PauseMenu"),
        System<Physics>("Physics"),
        System<Editor>("Editor"),
        System<GameLogic>("GameLogic"),
        System<AudioSystem>("AudioSystem"),
        System<BehaviorSystem>("BehaviorSystem"),
        System<InputSystem>("InputSystem"),
    };
    return systems;
}

void SystemTable::CreateSystems(Engine& engine, MetaRegistry& registry, u64 instanceHandle) {
    const std::vector<Entry>& systems = Systems();
    for (auto it = systems.rbegin(); it != systems.rend(); ++it) {
        const Entry& entry = *it;
        engine.AddSystem(entry.create(instanceHandle));
        entry.enter(entry.name, registry);
    }
}
