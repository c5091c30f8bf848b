// Ctrl+E with an object selected, then move the mouse: lays a row of copies
// of the selection, one model length (times two) apart along its own z axis,
// as far as the mouse reaches over the horizontal plane through it; moving
// back takes copies away again, releasing the left button puts the row in
// the scene. At most kMaxCopies a row. Capturing; owns the copies until they
// join the scene. Owned by the GuiSystem; main thread only.
#pragma once
#include <vector>

#include "controls/Control.h"
#include "engine/Ray.h"
#include "port/math/D3DX.h"

class MultiCloneControl : public Control {
public:
    static constexpr u32 kMaxCopies = 500;

    MultiCloneControl();
    // Unregisters copies not yet in the scene.
    ~MultiCloneControl() override;

    // kMsgSelectedObject, kMsgMouseRay and kMsgActiveCamera.
    void OnMessage(Message* message) override;
    void OnActivate() override;
    void UpdateActive(float dt) override;
    // The copies join the scene (each with its proxy).
    void OnDeactivate() override;

    // Copies (or takes away) until the row reaches the point on the plane.
    void Reach(const D3DXVECTOR3& hit);
    const std::vector<u32>& GetCopies() const { return copies_; }

private:
    u32 selectedObject_ = 0;
    Ray ray_{};
    u32 cameraId_ = 0;
    u32 source_ = 0;
    D3DXVECTOR3 step_{0, 0, 0};   // the model's extent times the source's scale
    D3DXVECTOR3 start_{0, 0, 0};  // the source's world position
    std::vector<u32> copies_;
    bool capLogged_ = false;  // the cap's log row is written once a drag
};
