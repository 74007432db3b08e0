#pragma once
#include <functional>
#include <unordered_map>
#include <vector>

#include "effect/EffectItem.h"

namespace Edit {
class Object;
}
namespace Render {
class RenderContext;
struct SectionPosition;
}  // namespace Render

namespace Effect {

class MovementBase;
class MovementDefine;
class EffectItemGroup;

// A number that can change over an object's sections: one key value per
// section boundary (start, each midpoint, end) in integer step units, and the
// movement that turns them into the value at a frame.
class EffectItemNumber : public EffectItem {
public:
    enum Flag : uint32_t {
        kAccelerate = 1,       // 加速
        kDecelerate = 2,       // 減速
        kIgnoreMidpoints = 4,  // 中間点無視
    };

    // Anchors address values by key index; kAllKeys addresses every value.
    static constexpr int32_t kAllKeys = 100000000;
    struct AnchorAddress {
        const Edit::Object* object = nullptr;  // for its midpoints
        int32_t id = 0;
    };
    // Values recorded by the edit side before a midpoint edit.
    struct CapturedValue {
        double value = 0;
        int32_t section = -1;  // -1 = none
    };
    using CapturedValues = std::unordered_map<const EffectItemNumber*, CapturedValue>;
    // May add or remove entries of the movement menu offered for this item.
    using MovementListAdjuster = std::function<void(std::vector<const MovementDefine*>& movements)>;

    std::vector<int32_t> values;
    int32_t defaultValue = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t scale = 1;                       // step units per 1.0
    const MovementBase* movement = nullptr;  // never null
    std::vector<double> timeControl;
    std::vector<double> settings;
    uint32_t flags = 0;
    EffectItemGroup* group = nullptr;
    MovementListAdjuster movementListAdjuster;
    uint8_t shown = 1;
    const wchar_t* placeholder = nullptr;

    static bool hasType(uint8_t code) { return code == kNumber; }

    // The four numbers in plain units; stored in units of the step.
    EffectItemNumber(ItemList* list, std::wstring name, double defaultValue, double minimum, double maximum,
                     double step);
    EffectItemNumber(const EffectItemNumber& other) = default;

    void copyFrom(const EffectItem& other) override;
    bool equals(const EffectItem& other) const override;
    std::unique_ptr<EffectItem> clone() const override;
    std::string toString() const override;
    void fromString(std::string_view text) override;
    void fromKtoString(std::string_view value, std::string_view key, const wchar_t* effectName, bool raw) override;

    // The nearest integer, halves away from zero (saturated to 32 bits).
    static int32_t roundStep(double x);
    int32_t clampValue(int32_t v) const;
    // Key value i as a number, i clamped into the list.
    double keyValue(int32_t i) const;
    int32_t clampValueIndex(int32_t i) const;

    void setValue(double value, int32_t index);
    void setMovement(const MovementBase& fixedCountMovement);
    int32_t resizeValues(int32_t boundaryCount);
    void updateMovementFlags(const Edit::Object& object);
    const std::vector<double>& getMovementSettings();

    double getValue(Render::RenderContext& context) const;
    double getValueAt(Render::RenderContext& context, double frame) const;
    double getSectionTime(Render::RenderContext& context, double frame) const;
    // The position movements see: the context's, or the whole object with 中間点無視.
    Render::SectionPosition getPosition(const Render::RenderContext& context) const;
    double applyTimeControl(double progress) const;

    bool isEditableAt(const Render::RenderContext& context) const;
    // The rule of isEditableAt for a given value count (groups use their largest).
    static bool isEditableAt(const Render::RenderContext& context, size_t valueCount);

    bool setAnchorValue(const AnchorAddress& address, double value);
    bool moveAnchorValue(const AnchorAddress& address, double delta);

    void insertSectionValue(int32_t midpoint, const CapturedValues* captured);
    void restoreSectionValue(int32_t key, const CapturedValues* captured);
    void copyValuesTo(EffectItemNumber& other) const;

    // The text of one stored value: scale 100 writes 5 as 0.05 and -150 as -1.50.
    std::string valueText(int32_t value) const;

private:
    // A number in stored steps (value times scale, rounded).
    int32_t toSteps(double value) const;
    // The value indexes an anchor id addresses.
    std::vector<size_t> addressedValues(const AnchorAddress& address) const;
};

}  // namespace Effect
