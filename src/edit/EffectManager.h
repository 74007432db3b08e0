#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/IniFile.h"
#include "effect/EffectItemNumber.h"

namespace Effect {
class EffectBase;
}

namespace Edit {

class EffectCatalog;
class Object;
class Scene;

// The effect chain that makes an object what it is: an input, its output,
// then filters; or filters only; or one control effect. The first effect
// decides the shape and which media the others must fit.
class EffectManager {
public:
    using EffectList = std::vector<std::shared_ptr<Effect::EffectBase>>;
    using ValueMap = Effect::EffectItemNumber::CapturedValues;

    EffectCatalog* effectService;
    bool layerRangeControl = false;
    EffectList effects;

    EffectManager();
    EffectManager(const EffectManager&) = delete;
    EffectManager& operator=(const EffectManager&) = delete;

    // Whether an effect of media m may stand in a chain whose code is c.
    static bool fitsMedia(int32_t c, int32_t m);

    // Each placing operation returns the position of the effect placed or kept.
    size_t setEffectByDefine(const Effect::EffectBase& definition);
    size_t setInputEffect(const Effect::EffectBase& definition);
    size_t setOutputEffect(const Effect::EffectBase& definition);
    size_t setFilterEffect(const Effect::EffectBase& definition);
    size_t setControlEffect(const Effect::EffectBase& definition);

    // Places the named effect with its default parameters; a new filter goes
    // right behind `after` when given.
    size_t addEffect(const std::wstring& name, const Effect::EffectBase* after = nullptr);
    // The same with the item values read from a file section; `layout`
    // gives the section count.
    size_t loadEffect(const std::wstring& name, const System::IniFile::SectionRef& section, const Object& layout,
                      const Effect::EffectBase* after = nullptr);
    void removeEffect(const Effect::EffectBase& effect);
    void removeUnfitEffects();
    bool canMoveDownEffect(const Effect::EffectBase& effect) const;
    void moveUpEffect(const Effect::EffectBase& effect);
    void moveDownEffect(const Effect::EffectBase& effect);
    static void setSectionNum(Effect::EffectBase& effect, int32_t sectionCount);
    // 1 video, 2 audio, 3 video and audio, 4 video filter, 5 audio filter,
    // 6 filter for both, 7 control object.
    int32_t getObjectType() const;
    void copyEffectsTo(Object& target) const;

    // The values the object's number items take at a frame.
    static ValueMap getItemValuesAt(Scene& scene, const std::shared_ptr<Object>& object, int32_t frame, bool linear);
    // The stored key of each number item at boundary a of the layout's
    // sections, keyed by this chain's items or by the matching items of `other`.
    ValueMap getSectionKeyValues(const Object& layout, int32_t a, const Object* other) const;

protected:
    ~EffectManager();

private:
    EffectCatalog& catalog() const;
    std::ptrdiff_t find(const Effect::EffectBase& effect) const;
    size_t finishPlacement(size_t at, int32_t sections, const Effect::EffectBase* after);
};

}  // namespace Edit
