#pragma once
#include <memory>

#include "effect/EffectItemSelect.h"

namespace Effect {

// The names of the blend modes, 0 "通常" to 12 "差分", shared by every
// "合成モード" item.
std::shared_ptr<const EffectItemSelect::SharedList> blendModeList();

}  // namespace Effect
