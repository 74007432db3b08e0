#pragma once
#include <array>
#include <cstdint>

namespace Edit {

// The timeline zoom: one of a fixed table of levels. A value outside the
// table is replaced by the default level when the zoom is made.
class FrameZoom {
public:
    static constexpr int32_t kDefault = 10000;
    static constexpr std::array<int32_t, 27> zoomLevels{20,   30,    40,    50,    75,    100,   150,   200,   300,
                                                        400,  500,   750,   1000,  1500,  2000,  3000,  4000,  5000,
                                                        7500, 10000, 15000, 20000, 30000, 40000, 50000, 75000, 100000};
    using Normalizer = int32_t (*)(int32_t);

    int32_t value;
    Normalizer normalizer;

    explicit FrameZoom(int32_t value = kDefault, Normalizer normalizer = &normalize);

    static int32_t normalize(int32_t value);
    // The table position of the value, or -1.
    static int32_t levelIndex(int32_t value);
    // The level that many steps away, held within the table.
    FrameZoom getStepZoom(int32_t steps) const;
};

}  // namespace Edit
