#pragma once

namespace Edit {
class UpdateSection;
}

namespace Undo {

// One undo step on one target: the state of one aspect before and after an
// operation. The item holds its target shared, so a target that left the
// model stays alive while a record refers to it.
class UndoItem {
public:
    UndoItem() = default;
    UndoItem(const UndoItem&) = delete;
    UndoItem& operator=(const UndoItem&) = delete;

    virtual ~UndoItem();
    // Captures the after state; true when anything changed.
    virtual bool commit() = 0;
    virtual void captureBefore() = 0;
    virtual void captureAfter() = 0;
    virtual void undo(Edit::UpdateSection& scope) = 0;
    virtual void redo(Edit::UpdateSection& scope) = 0;
};

}  // namespace Undo
