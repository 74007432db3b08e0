#pragma once
#include <memory>

#include "edit/UndoItem.h"

namespace Undo {

// The item of one target type and one state type. The state type supplies
// capture (target, state), commit (target, before, after) -> changed, and
// restore (target, state, scope).
template <class Target, class State>
class UndoItemTemplate : public UndoItem {
public:
    std::shared_ptr<Target> target;
    State before{};
    State after{};

    explicit UndoItemTemplate(std::shared_ptr<Target> t) : target(std::move(t)) {}

    bool commit() override {
        captureAfter();
        return State::commit(*target, before, after);
    }
    void captureBefore() override { State::capture(*target, before); }
    void captureAfter() override { State::capture(*target, after); }
    void undo(Edit::UpdateSection& scope) override { State::restore(*target, before, scope); }
    void redo(Edit::UpdateSection& scope) override { State::restore(*target, after, scope); }
};

}  // namespace Undo
