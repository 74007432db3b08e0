#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "effect/MovementParamsDefine.h"

namespace Effect {

// The presets of time-control parameters: the built-in file
// "%AppInstall%/preset.params" and every "%Default%/*.params". A file of one
// preset registers it under the file's stem; the presets of a larger file
// take their own names, with "@" and the stem for the user's files.
class MovementParamsManager {
public:
    // The registry of the effect service while it exists.
    static MovementParamsManager* get();

    // Rebuilds the registry from disk.
    void loadMovementParams();
    void registerMovementParams(const std::wstring& path, bool builtIn);

    // By menu order.
    std::vector<MovementParamsDefine*> getMenuList() const;
    // The distinct non-empty labels in menu order.
    std::vector<const std::wstring*> getLabelList() const;
    const MovementParamsDefine* find(const std::wstring& key) const;

private:
    std::unordered_map<std::wstring, std::unique_ptr<MovementParamsDefine>> params_;
    int32_t counter_ = 0;
};

}  // namespace Effect
