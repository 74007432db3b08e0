// The number item reads earlier-generation values through this seam. It has
// its own file so that programs providing their own seams (tests, fuzz
// targets) can still link the model.
#include "edit/ProjectConvert.h"
#include "effect/ModelAccess.h"

std::string Effect::Access::convertTrackValue(std::string_view value) {
    return Edit::ProjectConvert::convertTrackValue(value);
}
