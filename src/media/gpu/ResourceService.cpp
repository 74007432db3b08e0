#include "media/gpu/ResourceService.h"

#include "core/Log.h"
#include "core/TextConvert.h"
#include "platform/draw2d/Text.h"

namespace Resource {
namespace {

// The nine formats in their order; the second one reads the first's family and size.
std::vector<std::unique_ptr<TextFormat>> makeTextFormats(std::vector<std::unique_ptr<TextFormat>>& formats) {
    const char* const keys[] = {"Control",   "",       "EditControl", "LayerObject", "PreviewTime",
                                "TimeGauge", "Footer", "TextEdit",    "Log"};
    std::vector<std::unique_ptr<TextFormat>> made;
    for (size_t i = 0; i < ResourceService::kTextFormatCount; ++i) {
        Media::ComResource<Platform::draw2d::TextFormat>::Generator generator;
        if (i == ResourceService::kControlSmall)
            generator = [&formats](std::unique_ptr<Platform::draw2d::TextFormat>* slot) {
                const Platform::draw2d::TextFormat* control = formats[ResourceService::kControl]->get();
                *slot = TextFormat::create(System::utf8ToWide(control->familyName()), control->fontSize() * 0.8f);
            };
        else
            generator = [key = std::string(keys[i])](std::unique_ptr<Platform::draw2d::TextFormat>* slot) {
                *slot = TextFormat::createFromStyle(key);
            };
        made.push_back(std::make_unique<TextFormat>(std::move(generator)));
    }
    return made;
}

}  // namespace

namespace {
ResourceService::ListBuilder& listBuilder() {
    static ResourceService::ListBuilder builder;
    return builder;
}
}  // namespace

ResourceService::ListBuilder ResourceService::setListBuilder(ListBuilder builder) {
    std::swap(listBuilder(), builder);
    return builder;
}

ResourceService::ResourceService() : textFormats(makeTextFormats(textFormats)), paths(PathData::createBuiltins()) {
    if (const ListBuilder& build = listBuilder()) build(*this);
    System::Log::info("Resource::ResourceService::ResourceService", "resources ready: %zu paths, %s", paths.size(),
                      figures ? "figures and transitions listed" : "no figure or transition list");
}

// The members go in the reverse order of their construction.
ResourceService::~ResourceService() = default;

}  // namespace Resource
