#include "controls/RenderAction.h"

#include "controls/GuiSystem.h"
#include "core/TypeId.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"

class GraphicsSystem;
class Model;

RenderAction::RenderAction(u32 id_, u32 argument_, u32 count_)
    : id(id_), argument(argument_ ? argument_ : TypeId<Model>::Get()), count(count_) {}

bool RenderAction::Execute() {
    const Kind<u32> kind = count > 0 ? DrawUnblendedThisFrame(argument) : DrawThisFrame(argument);
    SendToSystem(kind, TypeId<GraphicsSystem>::Get(), TypeId<GuiSystem>::Get(), id);
    return false;
}
