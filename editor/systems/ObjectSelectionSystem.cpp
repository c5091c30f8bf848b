#include "editor/systems/ObjectSelectionSystem.h"

ObjectSelectionSystem::ObjectSelectionSystem() : ISystem(TypeId<ObjectSelectionSystem>::Get()) {
    SetName("ObjectSelectionSystem");
}
