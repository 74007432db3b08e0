#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "effect/EffectMenuDefine.h"

namespace Effect {

class EffectBase;

// A registered effect class: its prototype (built with the constructor
// defaults, then the saved default parameters) and its menu entry. Building
// the definition creates the class-wide resource on the prototype.
class EffectDefine : public EffectMenuDefine {
public:
    EffectDefine(std::shared_ptr<EffectBase> prototype, int32_t order);
    ~EffectDefine() override;

    std::wstring getName() const override;
    std::wstring getDisplayName() const override;
    int32_t getKind() override;
    uint8_t getMedia() override;
    uint8_t getPlacement() override;
    void createObject(int32_t layer, int32_t frame) override;
    void addToObject(const std::shared_ptr<Edit::Object>& object, int32_t position, bool replace) override;
    bool isDefineOf(const EffectBase& effect) const override;

    // "%Default%/<name>.effect", expanded.
    std::wstring getDefaultParamPath() const;
    // The prototype, with the default-parameter file read on the first call.
    EffectBase& loadDefaultParam();
    // Writes the effect (items and flags) as the class's default parameters.
    void saveDefaultParam(const EffectBase& effect);
    // Deletes the file and gives the prototype the constructor defaults.
    void resetDefaultParam(const EffectBase& effect);
    // A new instance sharing the prototype's class-wide resource.
    std::shared_ptr<EffectBase> createEffect() const;

    const std::shared_ptr<EffectBase>& prototype() const { return prototype_; }
    bool defaultsLoaded() const { return defaultsLoaded_ != 0; }

private:
    std::shared_ptr<EffectBase> prototype_;
    uint8_t defaultsLoaded_ = 0;
};

}  // namespace Effect
