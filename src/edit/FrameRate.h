#pragma once
#include <cstdint>

// A scene's frame rate is an exact rate over scale; users see a decimal
// number. The presets of "system.conf" [FrameRate] ("29.97=30000/1001") map
// listed numbers to exact fractions and back; entries are visited in file
// order, the first match wins, and an entry that does not parse is skipped.
namespace Edit {

// Without a preset: the value in millionths, divided by 10 together while
// the rate ends in 0 (29.97 gives 2997/100). A value that does not fit gives 0.
void getFrameRateFromValue(int32_t& rate, int32_t& scale, double value);
// Without a preset: rate / scale (0 for a zero scale).
double getFrameRateValue(int32_t rate, int32_t scale);

}  // namespace Edit
