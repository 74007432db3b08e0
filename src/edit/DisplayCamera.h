#pragma once
#include <array>
#include <string>

namespace Effect {

// The free camera of a scene's preview. Six values persist (the position
// first); the working values belong to the preview's camera drag.
class DisplayCamera {
public:
    static constexpr std::array<double, 6> kDefaults{0, 0, -1024, 0, 0, 0};

    std::array<double, 6> values = kDefaults;
    std::array<double, 3> scale{1.0, 1.0, 1.0};
    double distance = 1024.0;

    // Each value with six decimals, joined by ","; empty while all are the defaults.
    std::string toString() const;
    // Takes exactly six comma-separated numbers; any other text changes nothing.
    void fromString(const std::string& text);
};

}  // namespace Effect
