// A movement-parameter preset file ("%Default%/*.params"): lines of a name and
// numbers. Every usable line's numbers either convert or throw, and converted
// numbers written out read back as numbers.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "effect/MovementParamsDefine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using Effect::MovementParamsDefine;
    const auto entries =
        MovementParamsDefine::parseParams(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& [name, valuesText] : entries) {
        std::vector<double> values;
        try {
            values = MovementParamsDefine::parseValues(valuesText);
        } catch (const std::exception&) {
            continue;
        }
        const auto written = MovementParamsDefine::parseParams(MovementParamsDefine::formatParams(values));
        if (written.size() != 1) std::abort();
        try {
            if (MovementParamsDefine::parseValues(written[0].second).size() != values.size()) std::abort();
        } catch (const std::exception&) {
            // "nan" and "inf" print as such and read back; nothing else may fail.
            std::abort();
        }
    }
    return 0;
}
