#include "effect/MovieRange.h"

namespace Effect {

MovieRange::MovieRange() {
    name = L"再生範囲";
    valueCount = 2;
    inMenu = 0;
}

}  // namespace Effect
