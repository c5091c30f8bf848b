#include "render/RenderLists.h"

#include "core/TypeId.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"

class Model;
class Camera;
class PointLight;
class ScreenText;
class ParticleEmmiter;
class Skybox;
class GlobalLighting;

namespace {

template <class T>
bool Read(const Message& message, T& out) {
    if (!message.payload) return false;
    out = *message.PayloadAs<T>();
    return true;
}

bool Is(const Message& message, MessageKind kind) {
    return message.type == kind.type && message.argument == kind.argument;
}

}  // namespace

bool RenderLists::HandleMessage(const Message& message) {
    u32 id = 0;
    switch (message.type) {
        case kMsgTypeEvent:
            if (!Is(message, kMsgDebugDraw)) return false;
            if (message.payload) debugDraw = *message.PayloadAs<bool>();
            return true;
        case kMsgTypeRequest: {
            DebugLine line;
            switch (message.argument) {
                case kMsgDebugLineA.argument:
                    if (Read(message, line)) linesA.Add(line.start, line.end, line.colour);
                    break;
                case kMsgDebugLineB.argument:
                    if (Read(message, line)) linesB.Add(line.start, line.end, line.colour);
                    break;
                case kMsgDebugSphere.argument: {
                    DebugSphereRecord sphere;
                    if (Read(message, sphere)) spheres.push_back(sphere);
                    break;
                }
                case kMsgHighlightObject.argument:
                    if (Read(message, id)) highlights.push_back(id);
                    break;
                case kMsgDebugMarker.argument: {
                    DebugMarkerRecord marker;
                    if (Read(message, marker)) markers.push_back(marker);
                    break;
                }
                case kMsgChaseTarget.argument:
                    if (Read(message, id)) chase.SetChaseTarget(id);
                    break;
                case kMsgChaseCamera.argument:
                    if (Read(message, id)) chase.SetChaseCamera(id);
                    break;
                default:
                    break;
            }
            return true;
        }
        case kMsgTypeComponentAnnounced: {
            if (!Read(message, id)) return true;
            const u32 type = message.argument;
            if (type == TypeId<Model>::Get()) {
                models.Add(id);
            } else if (type == TypeId<Camera>::Get()) {
                cameras.Push(id);
            } else if (type == TypeId<PointLight>::Get()) {
                pointLights.Add(id);
            } else if (type == TypeId<ScreenText>::Get()) {
                texts.Add(id);
            } else if (type == TypeId<ParticleEmmiter>::Get()) {
                emitters.push_back(id);
            } else if (type == TypeId<GlobalLighting>::Get()) {
                globalLighting = id;
            } else if (type == TypeId<Skybox>::Get()) {
                Overlord* overlord = Overlord::Instance();
                if (IComponent* skybox = overlord ? overlord->GetComponentById(id) : nullptr)
                    skyboxObject = skybox->GetOwner();
            }
            return true;
        }
        case kMsgTypeDrawThisFrame:
            if (!Read(message, id)) return true;
            if (message.argument == TypeId<Model>::Get())
                frameModels.push_back(id);
            else if (message.argument == TypeId<ScreenText>::Get())
                frameTexts.push_back(id);
            return true;
        case kMsgTypeModelNotice:
        case kMsgGraphicsIgnored.type:
            return true;
        case kMsgSelectedObject.type:
            if (Read(message, id)) selectedObject = id;
            return true;
        case kMsgOverlayObject.type:
            if (message.argument == kMsgOverlayObject.argument && Read(message, id)) chase.SetOverlay(id);
            return true;
        case kMsgDrawUnblendedThisFrame.type:
            if (Read(message, id)) unblendedFrameModels.push_back(id);
            return true;
        default:
            return false;
    }
}

void RenderLists::Clear() {
    models.Clear();
    pointLights.Clear();
    frameTexts.clear();
    highlights.clear();
    unblendedFrameModels.clear();
    spheres.clear();
    frameModels.clear();
    markers.clear();
    emitters.clear();
    chase.Clear();
}

bool RenderLists::HasDebugWork() const {
    return linesA.Count() || linesB.Count() || !unblendedFrameModels.empty() || !spheres.empty() || !highlights.empty();
}

void RenderLists::EndDebugFrame() {
    spheres.clear();
    unblendedFrameModels.clear();
    highlights.clear();
    linesA.Reset();
    linesB.Reset();
}
