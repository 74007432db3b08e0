#pragma once
#include <memory>
#include <vector>

namespace Undo {

class UndoItem;

// What one operation changed: its undo items in the order they were pushed.
class UndoRecord {
public:
    std::vector<std::shared_ptr<UndoItem>> items;
};

}  // namespace Undo
