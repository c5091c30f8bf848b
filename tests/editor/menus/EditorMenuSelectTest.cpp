// Choosing a scene component in the "SceneComponents" bar selects it, and
// deleting the selected one deselects it, through the selection message the
// Editor serves: the Editor, its panels and the movers all follow at once.
#include "editor/menus/EditorUISystem.h"
#include "tests/editor/EditorTestWorld.h"

namespace {
class EditorMenuSelectTest : public EditorFixture {};

TEST_F(EditorMenuSelectTest, TheBarsSelectAndDeleteButtonsChangeTheSelectionEverywhereAtOnce) {
    Enter();
    recorder->Listen(kMsgSelectObject);
    ::Broadcast(kMsgAddComponent, 0, std::string("GlobalLighting"));
    const u32 light = SceneManager::Instance()->GetObjectIds().back();
    const std::string id = std::to_string(light);
    const struct {
        const char* button;
        u32 selected;
    } cases[] = {{"Select this_", light}, {"Delete_", 0}};
    for (const auto& c : cases) {
        recorder->rows.clear();
        ASSERT_TRUE(Press("SceneComponents", c.button + id)) << c.button;
        EXPECT_EQ(editor->GetSelectedObject(), c.selected) << c.button;
        EXPECT_EQ(menu->GetControlState().selectedObject, c.selected) << c.button << ": what the movers move";
        EXPECT_EQ(editor->GetUISystem()->GetCurrentObject(), c.selected) << c.button << ": the status lines";
        EXPECT_EQ(Entries("Selected").empty(), c.selected == 0) << c.button;
        EXPECT_EQ(recorder->rows, std::vector<std::string>{"32,2=" + std::to_string(c.selected)}) << c.button;
    }
}
}  // namespace
