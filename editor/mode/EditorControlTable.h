// The editor's object controls gathered by row before the Editor makes and
// registers them: each feature folder adds its own under its row of the key
// binding table, and the Editor makes them in row order. The order matters:
// the GuiSystem updates each category's controls in registration order, so
// the first capturing control whose triggers hold takes the click (a P- or
// B-click before a plain select). One table per Activate; main thread only.
#pragma once
#include <functional>
#include <map>
#include <vector>

#include "core/Types.h"

class Control;

class EditorControlTable {
public:
    // Makes one control; the caller owns what it returns.
    using Maker = std::function<Control*()>;

    // Each row once.
    void Add(u32 row, Maker make);
    // The controls made in row order; the table is empty afterwards.
    std::vector<Control*> MakeInRowOrder();

private:
    std::map<u32, Maker> rows_;
};
