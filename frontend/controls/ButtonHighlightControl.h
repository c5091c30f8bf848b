// The hover control of a menu button: active while the mouse is inside the
// button's rectangle, it shows the button picture's hover texture, and its
// normal texture again once the mouse leaves. It keeps the button object's
// id and looks the object up each time, so a button already taken down is
// skipped. Category 2 (always updated); owned by the GuiSystem once handed
// over. Main thread only.
#pragma once
#include <string>

#include "controls/Control.h"

class GameObject;

class ButtonHighlightControl : public Control {
public:
    // Adds a DoAlwaysTrigger as first deactivation trigger.
    ButtonHighlightControl(GameObject* button, std::string normalTexture, std::string hoverTexture);

    // The button's first Model shows the hover texture.
    void OnActivate() override;
    // The button's first Model shows the normal texture.
    void OnDeactivate() override;

    // The texture shown while the mouse is outside; shown at once unless
    // the mouse is inside now (then once it leaves).
    void SetNormalTexture(const std::string& texture);

    u32 GetButtonId() const { return buttonId_; }

private:
    void ShowTexture(const std::string& texture) const;

    u32 buttonId_;
    std::string normalTexture_;
    std::string hoverTexture_;
};

// A ButtonHighlightControl that becomes active when the mouse enters the
// rectangle (pixels from the window centre, y down; left and top inside,
// right and bottom outside) and inactive when it leaves; the caller owns it
// until it hands it to the GuiSystem.
ButtonHighlightControl* MakeButtonHighlightControl(float left, float top, float right, float bottom, GameObject* button,
                                                   const std::string& normalTexture, const std::string& hoverTexture);
