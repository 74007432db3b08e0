#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/window/DialogWindow.h"

// Reading a number out of a dialog field within a range. A field that is
// empty, holds no leading number or a number out of range keeps the dialog
// open and shows "値が不正です" with the range under the field.
namespace Dialog {

// Parses as a base-10 int: leading white space skipped, an optional sign,
// digits; what follows the digits is ignored. nullopt without a leading
// number or outside the int range.
std::optional<int32_t> parseLeadingInt(const std::string& text);
// Parses a number after trimming spaces: a decimal (with exponent),
// "inf" or "nan" as the standard conversion reads them, independent of the
// locale; what follows is ignored. nullopt without a leading number.
std::optional<double> parseLeadingNumber(const std::string& text);

// The out value takes a number read even when it is out of range.
bool readIntInRange(Platform::window::DialogWindow& dialog, int32_t control, int32_t& value, int32_t minimum,
                    int32_t maximum);
// A number that is not a number (nan) is refused as out of range.
bool readNumberInRange(Platform::window::DialogWindow& dialog, int32_t control, double& value, double minimum,
                       double maximum);

}  // namespace Dialog
