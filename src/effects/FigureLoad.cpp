#include "effects/FigureLoad.h"

#include <cmath>

#include "core/FileName.h"
#include "core/TranslateService.h"
#include "edit/Project.h"
#include "effect/RenderContext.h"
#include "media/figure/FigureList.h"
#include "media/figure/SvgDocument.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"

namespace Effect {

FigureLoad::FigureLoad() {
    role = kInput;
    media = kVideo;
    placement = kVideo;
    figure.notify = 1;
}

bool FigureLoad::figureSize(double size, double aspect, uint32_t& width, uint32_t& height) {
    double w = size, h = size;
    if (aspect > 0)
        w = size * (100 - aspect) * 0.01;
    else if (aspect < 0)
        h = size * (aspect + 100) * 0.01;
    if (!(w >= 1) || !(h >= 1)) return false;
    width = static_cast<uint32_t>(std::ceil(w));
    height = static_cast<uint32_t>(std::ceil(h));
    return true;
}

std::shared_ptr<Media::ResourceBuffer> FigureLoad::inputVideo(Render::RenderContext& context) {
    uint32_t width = 0, height = 0;
    if (!figureSize(size.getValue(context), aspect.getValue(context), width, height)) return nullptr;
    const Media::ColorRgba rgba{color.red / 255.0f, color.green / 255.0f, color.blue / 255.0f, 1};
    if (figure.index == -1) {
        if (figure.path.empty()) return nullptr;
        return Media::SvgDocument::createResourceBuffer(figure.path, width, height, rgba, 0);
    }
    const Resource::ResourceService* resources = Resource::ResourceService::get();
    if (!resources || !resources->figures) return nullptr;
    return resources->figures->createFigure(figure.index, width, height, rgba,
                                            static_cast<float>(lineWidth.getValue(context)), rounded.value != 0);
}

std::wstring FigureLoad::getDisplayName() const {
    if (figure.index == -1) {
        const size_t slash = figure.path.find_last_of(L"/\\");
        return slash == std::wstring::npos ? figure.path : figure.path.substr(slash + 1);
    }
    const Resource::ResourceService* resources = Resource::ResourceService::get();
    if (!resources || !resources->figures) return EffectBase::getDisplayName();
    const auto& names = resources->figures->names;
    const auto found = names.find(figure.index);
    if (found == names.end()) return EffectBase::getDisplayName();
    if (Translate::TranslateService::get() && Translate::TranslateService::isActive())
        return Translate::translateListItem(names, figure.index);
    return found->second;
}

bool FigureLoad::itemEvent(const ItemEvent& event) {
    switch (event.kind) {
    case ItemEvent::kFileGiven:
        if (!event.path.empty()) {
            std::wstring path = event.path;
            System::FileName::expandVariable(path);
            figure.path = std::move(path);
            figure.index = -1;
        }
        return true;
    case ItemEvent::kItemChanged:
        if (figure.index == -1 && !Media::SvgDocument::canLoad(figure.path)) {
            figure.path.clear();
            int32_t key = 1;
            if (const Resource::ResourceService* resources = Resource::ResourceService::get();
                resources && resources->figures && !resources->figures->names.empty() &&
                !resources->figures->names.count(1))
                key = resources->figures->names.begin()->first;
            figure.index = key;
            Edit::Project::postError(L"このファイルには対応していません");
            return false;
        }
        return true;
    default: return false;
    }
}

bool FigureLoad::isSupportedFile(const std::wstring& path) const {
    const size_t slash = path.find_last_of(L"/\\");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return System::FileName::getExtension(name.c_str()) == L"svg";
}

}  // namespace Effect
