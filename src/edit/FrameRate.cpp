#include "edit/FrameRate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "core/NumberText.h"
#include "core/SettingService.h"

namespace Edit {
namespace {

struct Preset {
    double value;
    int32_t rate, scale;
};

// Leading blanks allowed, trailing text ignored; none when there is no number.
std::optional<double> parseDouble(const std::string& text) {
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) return std::nullopt;
    if (text[i] == '+') ++i;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value);
    if (error != std::errc()) return std::nullopt;
    return value;
}

// The presets that parse and have a usable scale, in file order.
std::vector<Preset> presets() {
    std::vector<Preset> list;
    const Setting::SettingService* settings = Setting::SettingService::get();
    if (!settings) return list;
    const auto found = settings->system.document.sections().find(settings->system.frameRate.name);
    if (found == settings->system.document.sections().end()) return list;
    std::vector<std::pair<int32_t, std::pair<const std::string*, const std::string*>>> entries;
    for (const auto& [key, value] : found->second) entries.push_back({value.line, {&key, &value.text}});
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [line, entry] : entries) {
        const std::optional<double> value = parseDouble(*entry.first);
        if (!value) continue;
        try {
            const std::string& text = *entry.second;
            const size_t slash = text.find('/');
            const int32_t rate = System::stoi(text.substr(0, slash));
            const int32_t scale = slash == std::string::npos ? 1 : System::stoi(text.substr(slash + 1));
            // A scale below 1 would divide by zero (or flip the sign) wherever the rate is used.
            if (scale < 1) continue;
            list.push_back({*value, rate, scale});
        } catch (const std::exception&) {
        }
    }
    return list;
}

}  // namespace

void getFrameRateFromValue(int32_t& rate, int32_t& scale, double value) {
    for (const Preset& preset : presets())
        if (preset.value == value) {
            rate = preset.rate;
            scale = preset.scale;
            return;
        }
    scale = 1000000;
    const double scaled = std::round(value * 1000000.0);
    rate = std::isnan(scaled) || scaled < INT32_MIN || scaled > INT32_MAX ? 0 : static_cast<int32_t>(scaled);
    while (scale > 1 && rate % 10 == 0) {
        rate /= 10;
        scale /= 10;
    }
}

double getFrameRateValue(int32_t rate, int32_t scale) {
    for (const Preset& preset : presets())
        if (preset.rate == rate && preset.scale == scale) return preset.value;
    if (scale == 0) return 0;
    return static_cast<double>(rate) / scale;
}

}  // namespace Edit
