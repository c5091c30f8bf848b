#include "controls/SetPositionFromMouseAction.h"

#include "controls/GuiSystem.h"
#include "engine/Engine.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "platform/InputSystem.h"

bool SetPositionFromMouseAction::Execute() {
    Overlord* overlord = Overlord::Instance();
    Engine* engine = Engine::Instance();
    InputSystem* input = InputSystem::Instance();
    if (!overlord || !engine || !input) return false;
    GuiSystem* gui = engine->GetSystem<GuiSystem>();
    Transform* transform = overlord->GetComponent<Transform>(objectId_);
    if (!gui || !transform) return false;
    const ClientRect& screen = gui->GetScreenRect();
    const i32 x = input->MouseX() - screen.right / 2;
    const i32 y = -(input->MouseY() - screen.bottom / 2);
    // A root takes it as local and world position, a child as its world
    // position; the matrices follow at once (nothing else rebuilds those of
    // a screen-space cursor before it is drawn).
    transform->SetPositionAndUpdate(static_cast<float>(x), static_cast<float>(y), 0.0f);
    return false;
}
