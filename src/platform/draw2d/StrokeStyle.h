#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/os/Result.h"

namespace Platform::draw2d {

enum class CapStyle : uint32_t { Flat = 0, Square = 1, Round = 2, Triangle = 3 };
enum class LineJoin : uint32_t { Miter = 0, Bevel = 1, Round = 2, MiterOrBevel = 3 };
enum class DashStyle : uint32_t { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Custom = 5 };

struct StrokeStyleDesc {
    CapStyle startCap = CapStyle::Flat;
    CapStyle endCap = CapStyle::Flat;
    CapStyle dashCap = CapStyle::Flat;
    LineJoin lineJoin = LineJoin::Miter;
    float miterLimit = 10;
    DashStyle dashStyle = DashStyle::Solid;
    float dashOffset = 0;  // in stroke widths
};

// How lines are ended, joined and dashed. Dash lengths and the offset are in
// stroke widths, so one style serves every width.
class StrokeStyle {
public:
    // Fails with kInvalidArg for a custom style without dashes, a negative dash
    // or a miter limit below 1, and for dashes given to a style other than custom.
    static Result create(const StrokeStyleDesc& desc, const float* dashes, uint32_t count,
                         std::unique_ptr<StrokeStyle>& out);
    StrokeStyle(const StrokeStyleDesc& desc, std::vector<float> dashes) : desc_(desc), dashes_(std::move(dashes)) {}

    const StrokeStyleDesc& desc() const { return desc_; }
    // The on/off pattern in stroke widths (empty: solid).
    const std::vector<float>& dashes() const { return dashes_; }

private:
    StrokeStyleDesc desc_;
    std::vector<float> dashes_;
};

}  // namespace Platform::draw2d
