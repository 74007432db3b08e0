#pragma once
#include <memory>
#include <vector>

#include "edit/UndoItem.h"

namespace Undo {

// What one operation changed: its undo items in the order they were pushed.
class UndoRecord {
public:
    std::vector<std::unique_ptr<UndoItem>> items;
};

}  // namespace Undo
