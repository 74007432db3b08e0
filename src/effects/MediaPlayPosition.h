#pragma once

namespace Effect {

class EffectItemNumber;

// The play position of a media source: it starts with the movement
// "再生範囲", which its movement menu offers although the menu otherwise
// leaves it out.
void preparePlayPosition(EffectItemNumber& position);

}  // namespace Effect
