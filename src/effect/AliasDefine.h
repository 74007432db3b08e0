#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "effect/EffectMenuDefine.h"

namespace Effect {

// A saved alias file ("%Alias%/<stem>.object" or ".effect") in the menus. Its
// media and placement are those of the file's first effect, looked up on the
// first query that needs them; a failed look-up leaves them 0 and is tried
// again on the next query.
class AliasDefine : public EffectMenuDefine {
public:
    // kind: "object" or "effect".
    AliasDefine(std::wstring stem, std::wstring kind, int32_t order);
    ~AliasDefine() override;

    std::wstring getName() const override;
    int32_t getKind() override;
    uint8_t getMedia() override;
    uint8_t getPlacement() override;
    void createObject(int32_t layer, int32_t frame) override;
    void addToObject(const std::shared_ptr<Edit::Object>& object, int32_t position, bool replace) override;
    bool isDefineOf(const EffectBase& effect) const override;

    // The alias file, expanded.
    std::wstring getPath() const;
    void loadAliasInfo();

    const std::wstring stem;
    const std::wstring kind;
    const int32_t kindCode;  // 100 object, 101 effect

private:
    uint8_t media_ = 0;
    uint8_t placement_ = 0;
};

}  // namespace Effect
