#include "render/GroupLayers.h"

#include <cwchar>

#include "edit/Object.h"
#include "effect/EffectBase.h"

namespace Render {

bool isGroupControl(const Edit::Object& object, const wchar_t* controlName) {
    return !object.effects.empty() && object.effects.front()->role == Effect::EffectBase::kControl &&
           std::wcscmp(object.effects.front()->name, controlName) == 0;
}

}  // namespace Render
