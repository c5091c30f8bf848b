#include "render/camera/CameraStack.h"

#include "engine/Overlord.h"
#include "render/camera/Camera.h"

Camera* CameraStack::ResolveActive() {
    Overlord* overlord = Overlord::Instance();
    while (!ids_.empty()) {
        IComponent* component = overlord ? overlord->GetComponentById(ids_.back()) : nullptr;
        if (Camera* camera = dynamic_cast<Camera*>(component)) return camera;
        ids_.pop_back();
    }
    return nullptr;
}
