#include "editor/systems/EditorUISystem.h"

EditorUISystem::EditorUISystem() : SceneSystem(TypeId<EditorUISystem>::Get()) {
    SetName("EditorUISystem");
    SetActive(false);
}
