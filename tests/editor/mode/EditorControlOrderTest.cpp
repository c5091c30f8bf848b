// The order the editor's controls reach the GuiSystem in: within a category
// the GuiSystem runs them in that order, so the first capturing control whose
// triggers hold takes a click, and a frame's key effects come in that order.
#include "controls/Control.h"
#include "tests/editor/EditorTestWorld.h"

namespace {
class EditorControlOrderTest : public EditorFixture {};

TEST_F(EditorControlOrderTest, EachCategoryRunsItsControlsInTheKeyTableOrder) {
    Enter();
    const std::vector<std::string> mover(6, "KeyboardMoveObject");
    const std::vector<std::string> pan(8, "freeCamControl");
    std::vector<std::string> normal = {"MoveObjToCamera",
                                       "SelectNext",
                                       "SelectPrev",
                                       "DeleteSelected",
                                       "ToggleRotateTranslate",
                                       "CamSpeedUp",
                                       "CamSpeedDown",
                                       "CopySelected",
                                       "PasteCopiedObject",
                                       "PasteTransform",
                                       "CameraHome",
                                       "CameraOrthoControlUp",
                                       "CameraOrthoControlDown",
                                       "unitDeselectControl",
                                       "CameraScreenDragControl"};
    normal.insert(normal.end(), mover.begin(), mover.end());
    normal.push_back("CameraToggleControl");
    normal.insert(normal.end(), pan.begin(), pan.end());
    const struct {
        u32 category;
        std::vector<std::string> names;
    } cases[] = {
        {Control::kCategoryCapturing,
         {"ParentObjectControl", "ParentObjectControl", "SplineBindControl", "UnitSelectControl",
          "Object Position Control", "VertexSnapControl", "MultiCloneControl"}},
        {Control::kCategoryNormal, normal},
        {Control::kCategoryAlways,
         {"AxisLockX", "AxisLockY", "AxisLockZ", "CameraMouseover", "ToggleOrthoMoveMode",
          "CameraMoveControlGroupToggle"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> names;
        for (const Control* control : gui->GetControls(c.category))
            if (control && names.size() < c.names.size()) names.push_back(control->GetName() ? control->GetName() : "");
        EXPECT_EQ(names, c.names) << "category " << c.category;
    }
}
}  // namespace
