#include "media/figure/FigureList.h"

#include <algorithm>
#include <exception>

#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/ResourceBuffer.h"

namespace Resource {

FigureList::FigureList(const std::vector<std::unique_ptr<PathData>>& paths, const std::wstring& pattern) {
    struct Builtin {
        const wchar_t* name;
        int path;
        int32_t kind;
    };
    static constexpr Builtin kBuiltins[] = {
        {L"背景", PathData::kSquare, FigureData::kBackground},   {L"円", PathData::kCircle, FigureData::kCircle},
        {L"四角形", PathData::kSquare, FigureData::kRectangle},  {L"三角形", PathData::kTriangle, FigureData::kPath},
        {L"五角形", PathData::kPentagon, FigureData::kPath},     {L"六角形", PathData::kHexagon, FigureData::kPath},
        {L"星型", PathData::kStar, FigureData::kPath},           {L"ハート", PathData::kHeart, FigureData::kPath},
    };
    for (const Builtin& b : kBuiltins)
        figures.emplace_back(b.name, size_t(b.path) < paths.size() ? paths[size_t(b.path)].get() : nullptr,
                             std::wstring(), b.kind);
    std::vector<std::wstring> files;
    try {
        std::wstring expanded = pattern;
        System::FileName::expandVariable(expanded);
        for (const auto& entry : System::findFilesByPattern(expanded)) files.push_back(entry.name);
    } catch (const std::exception& e) {
        System::Log::warn("Resource::FigureList::FigureList", "figure folder not read. %s", e.what());
    }
    // Ordinal order of the full paths in UTF-16 code units.
    std::sort(files.begin(), files.end(), [](const std::wstring& a, const std::wstring& b) {
        return System::wideToUtf16(a) < System::wideToUtf16(b);
    });
    for (const std::wstring& file : files) {
        const size_t slash = file.find_last_of(L"/\\");
        std::wstring name = slash == std::wstring::npos ? file : file.substr(slash + 1);
        const size_t dot = name.rfind(L'.');
        if (dot != std::wstring::npos) name.erase(dot);
        figures.emplace_back(std::move(name), nullptr, file, FigureData::kPath);
    }
    for (size_t i = 0; i < figures.size(); ++i) names[int32_t(i)] = figures[i].name;
}

std::unique_ptr<Media::ResourceBuffer> FigureList::createFigure(int32_t index, uint32_t width, uint32_t height,
                                                                const Media::ColorRgba& color, float lineWidth,
                                                                bool round) const {
    if (index < 0 || size_t(index) >= figures.size()) return nullptr;
    return figures[size_t(index)].createImage(width, height, color, lineWidth, round, 0);
}

std::unique_ptr<Media::ResourceBuffer> FigureList::createMask(int32_t index, uint32_t width, uint32_t height) const {
    if (index < 0 || size_t(index) >= figures.size()) return nullptr;
    return figures[size_t(index)].createImage(width, height, {0, 0, 0, 1}, 65536, false,
                                              Media::Direct3DService::get()->maskFormat);
}

}  // namespace Resource
