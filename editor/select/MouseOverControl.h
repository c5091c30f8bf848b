// The editor control that turns the mouse into a pick ray every frame and
// hands it to the picking and the mouse-driven controls (kMsgMouseRay). It
// keeps the client size and the renderer's view and projection matrices from
// their broadcasts. Always updated (category 2), without triggers: the Editor
// switches it on once. Owned by the GuiSystem; main thread only.
#pragma once
#include "controls/Control.h"
#include "port/math/D3DX.h"

class MouseOverControl : public Control {
public:
    MouseOverControl();

    void OnMessage(Message* message) override;
    void UpdateActive(float dt) override;

    const D3DXMATRIX& GetView() const { return view_; }
    const D3DXMATRIX& GetProjection() const { return projection_; }

private:
    int width_ = 0;  // client pixels
    int height_ = 0;
    D3DXMATRIX view_;
    D3DXMATRIX projection_;
};
