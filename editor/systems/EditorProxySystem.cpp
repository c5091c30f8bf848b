#include "editor/systems/EditorProxySystem.h"

EditorProxySystem::EditorProxySystem() : ISystem(TypeId<EditorProxySystem>::Get()) {}

void EditorProxySystem::CreateProxy(GameObject&) {}

u32 EditorProxySystem::FindProxy(u32) const {
    return 0;
}

void EditorProxySystem::RemoveProxiesOf(u32) {}

void EditorProxySystem::ClearProxies() {}

void EditorProxySystem::RemoveWaypointOf(u32, u32) {}
