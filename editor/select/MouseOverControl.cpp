#include "editor/select/MouseOverControl.h"

#include "editor/select/PickGeometry.h"
#include "engine/Engine.h"
#include "engine/Message.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "platform/InputSystem.h"
#include "port/window/WindowEvent.h"

MouseOverControl::MouseOverControl() : Control("CameraMouseover", kCategoryAlways) {
    D3DXMatrixIdentity(&view_);
    D3DXMatrixIdentity(&projection_);
    Subscribe(kMsgClientRect);
    Subscribe(kMsgFrameClientRect);
    Subscribe(kMsgViewMatrix);
    Subscribe(kMsgProjectionMatrix);
}

void MouseOverControl::OnMessage(Message* message) {
    const ClientRect* rect = message->Read(kMsgClientRect);
    if (!rect) rect = message->Read(kMsgFrameClientRect);
    if (rect) {
        width_ = rect->right - rect->left;
        height_ = rect->bottom - rect->top;
    } else if (const D3DXMATRIX* const* view = message->Read(kMsgViewMatrix); view && *view) {
        view_ = **view;
    } else if (const D3DXMATRIX* const* projection = message->Read(kMsgProjectionMatrix); projection && *projection) {
        projection_ = **projection;
    }
}

void MouseOverControl::UpdateActive(float) {
    Engine* engine = Engine::Instance();
    const InputSystem* input = engine ? engine->GetSystem<InputSystem>() : nullptr;
    if (!input || width_ <= 0 || height_ <= 0) return;
    D3DXMATRIX inverseView;
    if (!D3DXMatrixInverse(&inverseView, nullptr, &view_)) return;
    const Ray ray = MouseToWorldRay(static_cast<float>(input->MouseX()), static_cast<float>(input->MouseY()),
                                    static_cast<float>(width_), static_cast<float>(height_), projection_, inverseView);
    ::Broadcast(kMsgMouseRay, GetId(), ray);
}
