#include "effect/MovementLookup.h"

#include <atomic>
#include <memory>
#include <vector>

#include "effect/InterpolationMove.h"
#include "effect/InterpolationSpeed.h"
#include "effect/LinearMove.h"
#include "effect/LinearSpeed.h"
#include "effect/MovieRange.h"
#include "effect/NoMove.h"
#include "effect/RandomMove.h"
#include "effect/TeleportationMove.h"

namespace Effect {

namespace {

std::atomic<MovementFinder> gFinder{nullptr};
std::atomic<MovementBase*> gNoMove{nullptr};

// The built-in movements in registration order; they live until the process ends.
const std::vector<MovementBase*>& builtins() {
    static const std::vector<MovementBase*>* list = new std::vector<MovementBase*>{
        new NoMove,      new MovieRange,        new LinearMove,
        new LinearSpeed, new InterpolationMove, new InterpolationSpeed,
        new RandomMove,  new TeleportationMove,
    };
    return *list;
}

}  // namespace

void setMovementFinder(MovementFinder finder) { gFinder.store(finder); }

MovementBase* findBuiltinMovement(const std::wstring& name) {
    for (MovementBase* m : builtins())
        if (name == m->name) return m;
    return nullptr;
}

MovementBase* findMovement(const std::wstring& name) {
    if (const MovementFinder f = gFinder.load()) return f(name);
    return findBuiltinMovement(name);
}

void setNoMove(MovementBase* registered) { gNoMove.store(registered); }

MovementBase& getNoMove() {
    if (MovementBase* registered = gNoMove.load()) return *registered;
    return *builtins().front();
}

}  // namespace Effect
