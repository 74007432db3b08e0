#pragma once
#include <cstdint>
#include <deque>

#include "edit/UndoRecord.h"

namespace Undo {

// A scene's records, newest first. Records 0 .. undone-1 can be redone (the
// most recently undone last); record `undone` is the next to undo.
class UndoHistory {
public:
    std::deque<UndoRecord> records;
    uint32_t undone = 0;

    bool canUndo() const { return undone < records.size(); }
    bool canRedo() const { return undone > 0; }
};

}  // namespace Undo
