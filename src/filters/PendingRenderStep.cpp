#include "filters/PendingRenderStep.h"

#include "core/Log.h"

namespace Effect {

void PendingRenderStep::report(const char* scope) {
    if (reported_.exchange(true)) return;
    // The text of the base's steps, without raising it: the object goes on rendering.
    System::Log::warn(scope, "not implement.");
}

}  // namespace Effect
