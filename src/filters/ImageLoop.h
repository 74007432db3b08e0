#pragma once
#include <cstdint>

#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Repeats the image across and down, scrolled by an offset with wrap-around:
// into one larger image, or as one object per tile.
class ImageLoop : public EffectClass<ImageLoop> {
public:
    static constexpr const wchar_t* kName = L"画像ループ";

    EffectItemNumber columns{&items, L"横回数", 1, 1, 100, 1};
    EffectItemNumber rows{&items, L"縦回数", 1, 1, 100, 1};
    EffectItemNumber offsetX{&items, L"オフセットX", 0, -10000, 10000, 0.001};
    EffectItemNumber offsetY{&items, L"オフセットY", 0, -10000, 10000, 0.001};
    EffectItemCheck separate{&items, L"個別オブジェクト"};
    // The class-wide resource: the tiling program, made once for the prototype.
    std::shared_ptr<ShaderResource> resource;

    ImageLoop();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    // The image tiled across x down times into a target of that many images
    // (each side at most 16384, the tiles then drawn smaller), read from the
    // offset in images with wrap-around.
    std::shared_ptr<Media::ResourceBuffer> tile(Media::ResourceBuffer& image, int32_t across, int32_t down, float ox,
                                                float oy) const;
};

}  // namespace Effect
