#include "effect/EffectItemNumber.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <limits>

#include "core/Curve.h"
#include "core/Exception.h"
#include "core/NumberText.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "effect/ItemText.h"
#include "effect/ModelQueries.h"
#include "effect/MovementBase.h"
#include "effect/MovementLookup.h"
#include "effect/MovementPath.h"
#include "effect/RenderContext.h"

namespace Effect {

namespace {

const char kFromStringScope[] = "Effect::EffectItemNumber::fromString";

std::string floatText(double value) { return System::wideToUtf8(System::formatDecimal(value)); }

std::vector<double> parseFloatList(const std::string& part) {
    std::vector<double> out;
    if (part.empty()) return out;
    for (const std::string& piece : System::splitComma(part)) out.push_back(ItemText::parseDouble(piece));
    return out;
}

size_t midpointCount(const Edit::Object& object) { return modelQueries().objectMidpoints(object).size(); }

// The frame located in the object taken as one section, as items that ignore
// the midpoints see it.
Render::SectionPosition wholeObject(const Edit::Object& object, double frame) {
    static const std::vector<int32_t> kNoBoundaries;
    return Render::SectionPosition::locate(modelQueries().objectStart(object), modelQueries().objectEnd(object),
                                           kNoBoundaries, 0, frame);
}

}  // namespace

int32_t EffectItemNumber::roundStep(double x) {
    const double r = std::round(x);
    if (!(r >= static_cast<double>(std::numeric_limits<int32_t>::min())))
        return std::isnan(r) ? 0 : std::numeric_limits<int32_t>::min();
    if (r > static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

EffectItemNumber::EffectItemNumber(ItemList* list, std::wstring name, double def, double min, double max, double step)
    : EffectItem(list, kNumber, std::move(name)),
      defaultValue(roundStep(def / step)),
      minimum(roundStep(min / step)),
      maximum(roundStep(max / step)),
      scale(roundStep(1.0 / step)) {
    setMovement(getNoMove());
}

void EffectItemNumber::copyFrom(const EffectItem& other) {
    const auto& o = static_cast<const EffectItemNumber&>(other);
    values = o.values;
    defaultValue = o.defaultValue;
    minimum = o.minimum;
    maximum = o.maximum;
    scale = o.scale;
    movement = o.movement;
    timeControl = o.timeControl;
    settings = o.settings;
    flags = o.flags;
}

bool EffectItemNumber::equals(const EffectItem& other) const {
    const auto& o = static_cast<const EffectItemNumber&>(other);
    // Element-wise double comparison: a NaN compares unequal.
    return values == o.values && timeControl == o.timeControl && settings == o.settings &&
           defaultValue == o.defaultValue && minimum == o.minimum && maximum == o.maximum && scale == o.scale &&
           movement == o.movement && flags == o.flags;
}

std::unique_ptr<EffectItem> EffectItemNumber::clone() const { return std::make_unique<EffectItemNumber>(*this); }

int32_t EffectItemNumber::toSteps(double value) const { return roundStep(static_cast<double>(scale) * value); }

int32_t EffectItemNumber::clampValue(int32_t v) const {
    if (v > maximum) return maximum;
    if (v < minimum) return minimum;
    return v;
}

int32_t EffectItemNumber::clampValueIndex(int32_t i) const {
    if (values.empty())
        throw System::messageException("Effect::EffectItemNumber::clampValueIndex", "item value index out of range.");
    return std::clamp(i, 0, static_cast<int32_t>(values.size()) - 1);
}

double EffectItemNumber::keyValue(int32_t i) const {
    return static_cast<double>(values[clampValueIndex(i)]) / static_cast<double>(scale);
}

void EffectItemNumber::setValue(double value, int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(values.size())) return;
    values[index] = clampValue(toSteps(value));
}

void EffectItemNumber::setMovement(const MovementBase& m) {
    movement = &m;
    values.resize(static_cast<size_t>(std::max(m.valueCount, 0)), defaultValue);
}

int32_t EffectItemNumber::resizeValues(int32_t boundaryCount) {
    int32_t target = movement->valueCount;
    if (target < 0) target = (flags & kIgnoreMidpoints) ? 2 : boundaryCount;
    target = std::max(target, 0);
    while (static_cast<int32_t>(values.size()) > target) {
        if (values.size() >= 2)
            values.erase(values.end() - 2);  // the end value stays last
        else
            values.pop_back();
    }
    while (static_cast<int32_t>(values.size()) < target)
        values.push_back(values.empty() ? defaultValue : values.back());
    return static_cast<int32_t>(values.size());
}

void EffectItemNumber::updateMovementFlags(const Edit::Object& object) {
    const int32_t boundaries = static_cast<int32_t>(midpointCount(object)) + 2;
    const auto setBit = [&](uint32_t bit, bool on) {
        const uint32_t before = flags;
        flags = on ? (flags | bit) : (flags & ~bit);
        if (flags != before) resizeValues(boundaries);
    };
    setBit(kAccelerate, movement->accelerate == 1);
    setBit(kDecelerate, movement->decelerate == 1);
    setBit(kIgnoreMidpoints, movement->ignoreMidpoints > 0);
    timeControl = movement->defaultTimeControl;
    settings = movement->defaultSettings;
}

const std::vector<double>& EffectItemNumber::getMovementSettings() {
    if (settings.size() != movement->defaultSettings.size()) settings = movement->defaultSettings;
    return settings;
}

Render::SectionPosition EffectItemNumber::getPosition(const Render::RenderContext& context) const {
    if (!(flags & kIgnoreMidpoints) || !context.object) return context.section;
    return wholeObject(*context.object, context.preciseFrame);
}

double EffectItemNumber::getValue(Render::RenderContext& context) const {
    return movement->getValue(*this, getPosition(context), context);
}

double EffectItemNumber::getValueAt(Render::RenderContext& context, double frame) const {
    if (!context.object) return getValue(context);
    const Render::SectionPosition p =
        (flags & kIgnoreMidpoints)
            ? wholeObject(*context.object, frame)
            : Render::SectionPosition::locate(*context.object, static_cast<int32_t>(std::floor(frame)), frame);
    return movement->getValue(*this, p, context);
}

double EffectItemNumber::getSectionTime(Render::RenderContext& context, double frame) const {
    if (!context.object) return 0;
    if (flags & kIgnoreMidpoints) return wholeObject(*context.object, frame).progress;
    const Render::SectionPosition p =
        Render::SectionPosition::locate(*context.object, static_cast<int32_t>(std::floor(frame)), frame);
    return p.index + p.offset / p.length;
}

double EffectItemNumber::applyTimeControl(double p) const {
    const size_t n = timeControl.size();
    if (!movement->timeControl || n < 4 || n % 4 != 0) return p;
    const auto& c = timeControl;
    if (n == 4) {
        const double x1 = c[0], y1 = c[1], x2 = c[2], y2 = c[3];
        const double t = System::cubicBezierEasing(0.0, x1, 1.0 - x2, 1.0, p, 1e-6);
        return easeCurve(t, y1, 1 - y2);
    }
    // Points (X, Y, H, K): position and a handle vector used on both sides.
    const size_t points = n / 4;
    if (p > c[(points - 1) * 4]) return c[(points - 1) * 4 + 1];
    size_t i = 0;
    while (i + 2 < points && p > c[(i + 1) * 4]) ++i;
    const double* a = &c[i * 4];
    const double* b = &c[(i + 1) * 4];
    const double t = System::cubicBezierEasing(a[0], a[0] + a[2], b[0] - b[2], b[0], p, 1e-6);
    return bezier(a[1], a[1] + a[3], b[1] - b[3], b[1], t);
}

bool EffectItemNumber::isEditableAt(const Render::RenderContext& context, size_t valueCount) {
    if (!context.object) return true;
    const int32_t midpoints = static_cast<int32_t>(midpointCount(*context.object));
    int32_t key;
    if (context.frame == modelQueries().objectEnd(*context.object))
        key = context.section.count;
    else if (context.section.offset != 0)
        return valueCount < 2;
    else
        key = context.section.index;
    if (key < 0) return valueCount < 2;
    if (key == 0 || key >= midpoints + 1) return true;
    return valueCount <= 1 || valueCount == static_cast<size_t>(midpoints) + 2;
}

bool EffectItemNumber::isEditableAt(const Render::RenderContext& context) const {
    return isEditableAt(context, values.size());
}

std::vector<size_t> EffectItemNumber::addressedValues(const AnchorAddress& address) const {
    std::vector<size_t> out;
    if (values.empty()) return out;
    if (address.id == kAllKeys) {
        for (size_t i = 0; i < values.size(); ++i) out.push_back(i);
        return out;
    }
    if (values.size() > 1 && address.id > 0) {
        const int32_t midpoints = address.object ? static_cast<int32_t>(midpointCount(*address.object)) : 0;
        if (address.id <= midpoints) {
            if (values.size() == static_cast<size_t>(midpoints) + 2) out.push_back(static_cast<size_t>(address.id));
        } else {
            out.push_back(values.size() - 1);
        }
        return out;
    }
    out.push_back(0);
    return out;
}

bool EffectItemNumber::setAnchorValue(const AnchorAddress& address, double value) {
    bool changed = false;
    const int32_t v = clampValue(toSteps(value));
    for (size_t i : addressedValues(address)) {
        changed |= values[i] != v;
        values[i] = v;
    }
    return changed;
}

bool EffectItemNumber::moveAnchorValue(const AnchorAddress& address, double delta) {
    bool changed = false;
    const int64_t d = toSteps(delta);
    for (size_t i : addressedValues(address)) {
        const int64_t sum = std::clamp<int64_t>(values[i] + d, std::numeric_limits<int32_t>::min(),
                                                std::numeric_limits<int32_t>::max());
        const int32_t v = clampValue(static_cast<int32_t>(sum));
        changed |= values[i] != v;
        values[i] = v;
    }
    return changed;
}

void EffectItemNumber::insertSectionValue(int32_t midpoint, const CapturedValues* captured) {
    if (movement->valueCount != -1 || (flags & kIgnoreMidpoints)) return;
    int32_t value = defaultValue;
    // Insert so that the end value stays last.
    int32_t at = std::min(midpoint + 1, static_cast<int32_t>(values.size()) - 1);
    if (captured) {
        if (auto it = captured->find(this); it != captured->end()) {
            value = toSteps(it->second.value);
            if (it->second.section != -1)
                at = std::min(it->second.section + 1, static_cast<int32_t>(values.size()) - 1);
        }
    }
    at = std::max(at, 0);
    values.insert(values.begin() + at, value);
}

void EffectItemNumber::restoreSectionValue(int32_t key, const CapturedValues* captured) {
    if (movement->valueCount != -1 || (flags & kIgnoreMidpoints) || values.empty()) return;
    const int32_t k = std::clamp(key, 0, static_cast<int32_t>(values.size()) - 1);
    int32_t value = defaultValue;
    if (captured)
        if (auto it = captured->find(this); it != captured->end()) value = toSteps(it->second.value);
    values[k] = value;
}

void EffectItemNumber::copyValuesTo(EffectItemNumber& other) const {
    other.values.resize(values.size(), 0);
    other.movement = movement;
    other.timeControl = timeControl;
    other.settings = settings;
    other.flags = flags;
}

std::string EffectItemNumber::valueText(int32_t value) const {
    int32_t decimals = 0;
    for (int64_t s = scale; s >= 10; s /= 10) ++decimals;
    const int64_t v = value;
    std::string digits = std::to_string(v < 0 ? -v : v);
    if (decimals > 0) {
        if (digits.size() < static_cast<size_t>(decimals) + 1) digits.insert(0, decimals + 1 - digits.size(), '0');
        digits.insert(digits.size() - decimals, 1, '.');
    }
    return v < 0 ? "-" + digits : digits;
}

std::string EffectItemNumber::toString() const {
    if (std::wcscmp(movement->name, getNoMove().name) == 0) return valueText(values[clampValueIndex(0)]);
    std::string out;
    for (int32_t v : values) out += valueText(v) + ",";
    out += System::wideToUtf8(movement->name);
    out += "," + std::to_string(flags);
    const auto appendList = [&out](const std::vector<double>& list) {
        out += "|";
        for (size_t i = 0; i < list.size(); ++i) {
            if (i) out += ",";
            out += floatText(list[i]);
        }
    };
    if (!settings.empty()) appendList(settings);
    if (!timeControl.empty()) appendList(timeControl);
    return out;
}

// Everything is read before anything is stored, so a text that fails leaves
// the item as it was.
void EffectItemNumber::fromString(std::string_view text) {
    const std::vector<std::string> parts = System::splitString(std::string(text), '|');
    const std::vector<std::string> fields = System::splitComma(parts[0]);
    if (fields.size() == 1) {
        const double v = ItemText::parseDouble(fields[0]);
        setMovement(getNoMove());  // one value
        timeControl.clear();
        flags = 0;
        setValue(v, 0);
        return;
    }
    const int32_t n = static_cast<int32_t>(fields.size()) - 2;
    if (n <= 0) throw System::messageException(kFromStringScope, "invalid effect parameter.");
    const MovementBase* found = findMovement(System::utf8ToWide(fields[n]));
    if (!found) throw System::messageException(kFromStringScope, "not found movement.");
    const uint32_t newFlags = static_cast<uint32_t>(System::stoi(fields[n + 1]));
    std::vector<double> numbers;
    for (int32_t i = 0; i < n; ++i) numbers.push_back(ItemText::parseDouble(fields[i]));
    std::vector<double> newSettings, newTimeControl;
    size_t next = 1;
    if (next < parts.size() && !found->defaultSettings.empty()) newSettings = parseFloatList(parts[next++]);
    if (next < parts.size() && found->timeControl) newTimeControl = parseFloatList(parts[next]);

    movement = found;
    settings = std::move(newSettings);
    timeControl = std::move(newTimeControl);
    flags = newFlags;
    resizeValues(n);
    for (int32_t i = 0; i < n; ++i) setValue(numbers[i], i);
}

void EffectItemNumber::fromKtoString(std::string_view value, std::string_view, const wchar_t*, bool raw) {
    if (raw)
        fromString(value);
    else
        fromString(modelQueries().convertTrackValue(value));
}

}  // namespace Effect
