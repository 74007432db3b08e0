#pragma once
#include <string>

namespace Effect {

class MovementBase;

// Number items find movements by name. Until the effect service installs
// its registry, the built-in movements are found.
using MovementFinder = MovementBase* (*)(const std::wstring& name);

void setMovementFinder(MovementFinder finder);
// None when no built-in movement has that name; the effect service's
// registry throws "not found movement." instead.
MovementBase* findMovement(const std::wstring& name);
// "移動無し", the movement of a fresh number item: the registered one while
// the effect service installs it, else the built-in.
MovementBase& getNoMove();
void setNoMove(MovementBase* registered);
// The built-in movement of that name, or none.
MovementBase* findBuiltinMovement(const std::wstring& name);

}  // namespace Effect
