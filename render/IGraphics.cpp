#include "render/IGraphics.h"

#include "engine/Engine.h"
#include "render/frame/GraphicsSystem.h"

IGraphics* IGraphics::Find(Engine* engine) {
    return engine ? engine->GetSystem<GraphicsSystem>() : nullptr;
}

IGraphics* IGraphics::Of(ISystem* system) {
    return dynamic_cast<GraphicsSystem*>(system);
}
