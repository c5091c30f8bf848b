#include "render/frame/RenderLists.h"

#include "core/TypeId.h"
#include "engine/Logger.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "render/mesh/Model.h"

class Camera;
class PointLight;
class ScreenText;
class ParticleEmmiter;
class Skybox;
class GlobalLighting;

namespace {

// Copies the payload out when the message is of the kind and carries one.
template <class P>
bool Read(const Message& message, const Kind<P>& kind, P& out) {
    const P* payload = message.Read(kind);
    if (payload) out = *payload;
    return payload != nullptr;
}

}  // namespace

RenderLists::RenderLists() {
    drawnVertices.NewScene();
}

bool RenderLists::Admit(const IComponent& component, const char* name, SceneBudget::Share& share, SceneBudget& budget,
                        u64 amount, const char* unit) {
    if (share.Take(budget, amount)) return true;
    if (budget.FirstRefusal())
        Log("%s on object %u would take the scene past %llu drawn %s (%llu in use, %llu more asked); it is not "
            "drawn, nor are later ones past the bound, until the scene is cleared",
            name, component.GetOwner(), static_cast<unsigned long long>(budget.Bound()), unit,
            static_cast<unsigned long long>(budget.InUse()), static_cast<unsigned long long>(amount));
    return false;
}

bool RenderLists::HandleMessage(const Message& message) {
    u32 id = 0;
    switch (message.type) {
        case kMsgTypeEvent:
            if (!message.Is(kMsgDebugDraw)) return false;
            Read(message, kMsgDebugDraw, debugDraw);
            return true;
        case kMsgTypeRequest:
            HandleRequest(message);
            return true;
        case kMsgTypeComponentAnnounced:
            if (Read(message, ComponentAnnounced(message.argument), id)) Announce(message.argument, id);
            return true;
        case kMsgTypeDrawThisFrame:
            if (!Read(message, DrawThisFrame(message.argument), id)) return true;
            if (message.argument == TypeId<Model>::Get())
                frameModels.push_back(id);
            else if (message.argument == TypeId<ScreenText>::Get())
                frameTexts.push_back(id);
            return true;
        case kMsgTypeModelNotice:
        case kMsgGraphicsIgnored.type:
            return true;
        case kMsgSelectedObject.type:
            if (Read(message, kMsgSelectedObject, id)) selectedObject = id;
            return true;
        case kMsgOverlayObject.type:
            if (Read(message, kMsgOverlayObject, id)) chase.SetOverlay(id);
            return true;
        case kMsgTypeDrawUnblendedThisFrame:
            if (Read(message, DrawUnblendedThisFrame(message.argument), id)) unblendedFrameModels.push_back(id);
            return true;
        default:
            return false;
    }
}

// Debug lines, spheres, markers and highlights, and the chase pair.
void RenderLists::HandleRequest(const Message& message) {
    u32 id = 0;
    DebugLine line;
    switch (message.argument) {
        case kMsgDebugLineA.argument:
            if (Read(message, kMsgDebugLineA, line)) linesA.Add(line.start, line.end, line.colour);
            break;
        case kMsgDebugLineB.argument:
            if (Read(message, kMsgDebugLineB, line)) linesB.Add(line.start, line.end, line.colour);
            break;
        case kMsgDebugSphere.argument: {
            DebugSphereRecord sphere;
            if (Read(message, kMsgDebugSphere, sphere)) spheres.push_back(sphere);
            break;
        }
        case kMsgHighlightObject.argument:
            if (Read(message, kMsgHighlightObject, id)) highlights.push_back(id);
            break;
        case kMsgDebugMarker.argument: {
            DebugMarkerRecord marker;
            if (Read(message, kMsgDebugMarker, marker)) markers.push_back(marker);
            break;
        }
        case kMsgChaseTarget.argument:
            if (Read(message, kMsgChaseTarget, id)) chase.SetChaseTarget(id);
            break;
        case kMsgChaseCamera.argument:
            if (Read(message, kMsgChaseCamera, id)) chase.SetChaseCamera(id);
            break;
        default:
            break;
    }
}

// The list or slot of the component's class; other classes are not kept.
void RenderLists::Announce(u32 type, u32 id) {
    Overlord* overlord = Overlord::Instance();
    if (type == TypeId<Model>::Get()) {
        Model* model = overlord ? overlord->GetComponentById<Model>(id) : nullptr;
        if (!model || Admit(*model, "Model", model->drawShare, drawnVertices, model->vertexCount, "vertices"))
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
        if (IComponent* skybox = overlord ? overlord->GetComponentById(id) : nullptr) skyboxObject = skybox->GetOwner();
    }
}

void RenderLists::Clear() {
    models.Clear();
    pointLights.Clear();
    drawnVertices.NewScene();
    lightBoundLogged = false;
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
