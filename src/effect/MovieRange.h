#pragma once
#include "effect/NoMove.h"

namespace Effect {

// "再生範囲": the play range of media sources, which read its two values
// themselves; as a value it is the first one.
class MovieRange : public NoMove {
public:
    MovieRange();
};

}  // namespace Effect
