#include "editor/menus/MenuControls.h"

#include "controls/Control.h"
#include "editor/mode/EditorControlTable.h"
#include "editor/mode/EditorKeyControls.h"
#include "engine/MessageTypes.h"

void BuildMenuControls(EditorControlTable& table, u32 editorId) {
    const u32 me = editorId;
    const u32 normal = Control::kCategoryNormal;
    table.Add(8, [me] { return MakeKeyMessageControl(0x43, "CopySelected", normal, kMsgCopyObject, true, 0, me); });
    table.Add(9,
              [me] { return MakeKeyMessageControl(0x56, "PasteCopiedObject", normal, kMsgPasteObject, true, 0, me); });
    table.Add(10,
              [me] { return MakeKeyMessageControl(0x54, "PasteTransform", normal, kMsgPasteTransform, true, 0, me); });
}
