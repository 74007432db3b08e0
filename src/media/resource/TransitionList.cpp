#include "media/resource/TransitionList.h"

#include <algorithm>
#include <exception>

#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"

namespace Resource {

TransitionList::TransitionList(const std::vector<std::unique_ptr<PathData>>& paths, const std::wstring& pattern) {
    struct Builtin {
        const wchar_t* name;
        int path;
        float scale;
        int32_t kind;
    };
    static constexpr Builtin kBuiltins[] = {
        {L"ワイプ(円)", PathData::kCircle, 1.41421354f, TransitionData::kShape},
        {L"ワイプ(四角)", PathData::kDiamond, 2.0f, TransitionData::kShape},
        {L"ワイプ(時計)", PathData::kSquare, 1.0f, TransitionData::kClock},
        {L"ワイプ(横)", PathData::kSquare, 1.0f, TransitionData::kHorizontal},
        {L"ワイプ(縦)", PathData::kSquare, 1.0f, TransitionData::kVertical},
        {L"ワイプ(星型)", PathData::kStar, 3.0f, TransitionData::kShape},
        {L"ワイプ(ハート)", PathData::kHeart, 2.2f, TransitionData::kShape},
    };
    for (const Builtin& b : kBuiltins)
        transitions.emplace_back(b.name, size_t(b.path) < paths.size() ? paths[size_t(b.path)].get() : nullptr,
                                 b.scale, b.kind);
    std::vector<std::wstring> files;
    try {
        std::wstring expanded = pattern;
        System::FileName::expandVariable(expanded);
        for (const auto& entry : System::findFilesByPattern(expanded)) files.push_back(entry.name);
    } catch (const std::exception& e) {
        // A missing folder only means no image masks.
        System::Log::verbose("Resource::TransitionList::TransitionList", "transition folder not read. %s", e.what());
    }
    std::sort(files.begin(), files.end(), [](const std::wstring& a, const std::wstring& b) {
        return System::wideToUtf16(a) < System::wideToUtf16(b);
    });
    for (const std::wstring& file : files) {
        const size_t slash = file.find_last_of(L"/\\");
        std::wstring name = slash == std::wstring::npos ? file : file.substr(slash + 1);
        const size_t dot = name.rfind(L'.');
        if (dot != std::wstring::npos) name.erase(dot);
        transitions.emplace_back(std::move(name), file);
    }
    for (size_t i = 0; i < transitions.size(); ++i) names[int32_t(i)] = transitions[i].name;
}

}  // namespace Resource
