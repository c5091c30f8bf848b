// The click control that ends the program: the Engine's active flag is
// cleared and the Engine deactivated, so the frame loop ends after the
// current frame and the program shuts down. Main thread only.
#pragma once
#include "frontend/controls/ClickControl.h"

class QuitControl : public ClickControl {
public:
    QuitControl();
    void OnActivate() override;
};
