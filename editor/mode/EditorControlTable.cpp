#include "editor/mode/EditorControlTable.h"

#include <utility>

#include "core/Assert.h"

void EditorControlTable::Add(u32 row, Maker make) {
    const bool added = rows_.emplace(row, std::move(make)).second;
    DD_ASSERT(added, "two editor controls share one row");
}

std::vector<Control*> EditorControlTable::MakeInRowOrder() {
    std::vector<Control*> controls;
    for (auto& [row, make] : rows_) controls.push_back(make());
    rows_.clear();
    return controls;
}
