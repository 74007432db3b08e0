#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "media/gpu/PathData.h"
#include "media/resource/TransitionData.h"

// The wipes by the index effects store: the seven built-in ones, then the
// PNG images of the transition folder by path.
namespace Resource {

class TransitionList {
public:
    // `paths`: the built-in paths, kept alive by the caller; `pattern`: the
    // images, variables expanded before listing.
    explicit TransitionList(const std::vector<std::unique_ptr<PathData>>& paths,
                            const std::wstring& pattern = L"%Transition%/*.png");

    std::vector<TransitionData> transitions;
    std::map<int32_t, std::wstring> names;
};

}  // namespace Resource
