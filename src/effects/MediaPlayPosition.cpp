#include "effects/MediaPlayPosition.h"

#include "effect/EffectItemNumber.h"
#include "effect/EffectService.h"
#include "effect/MovementBase.h"
#include "effect/MovementLookup.h"

namespace Effect {

void preparePlayPosition(EffectItemNumber& position) {
    if (const MovementBase* range = findMovement(L"再生範囲")) position.setMovement(*range);
    position.movementListAdjuster = [](std::vector<const MovementDefine*>& movements) {
        if (const EffectService* service = EffectService::get())
            movements.push_back(&service->findMovement(L"再生範囲"));
    };
}

}  // namespace Effect
