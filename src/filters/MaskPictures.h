#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "effect/EffectItemMaskSelect.h"
#include "media/resource/MaskSource.h"

namespace Effect {

class EffectService;

// What masks borrow from the layers that own it: the transition masks the
// image cache's pictures and the registered clipping and blurring filters,
// the mask items the figure list, pictures, scene frames and named buffers.
// Built after the effect service and installed for both while it lives.
class MaskPictures : public Resource::MaskSource, public MaskImageSource {
public:
    explicit MaskPictures(const EffectService& effects);
    ~MaskPictures() override;
    MaskPictures(const MaskPictures&) = delete;
    MaskPictures& operator=(const MaskPictures&) = delete;

    std::shared_ptr<Media::ImageBuffer> getImage(const std::wstring& path) const override;
    void clipSector(Media::ResourceBuffer& mask, float baseAngle, float rangeAngle, int32_t blur) const override;
    void clipLine(Media::ResourceBuffer& mask, float angle, float offsetX, float offsetY, int32_t blur) const override;
    std::unique_ptr<Media::ResourceBuffer> blur(Media::ResourceBuffer& mask, int32_t size) const override;

    std::shared_ptr<Media::ResourceBuffer> figure(int32_t index, uint32_t width, uint32_t height) const override;
    std::shared_ptr<Media::ResourceBuffer> file(const std::wstring& path) const override;
    std::shared_ptr<Media::ResourceBuffer> named(const Render::RenderContext& context,
                                                 const std::string& name) const override;
    std::shared_ptr<Media::ResourceBuffer> sceneFrame(int32_t sceneId, double seconds) const override;
    bool sceneSeconds(int32_t sceneId, double& seconds) const override;
    void preloadFile(const std::wstring& path) const override;
    void preloadSceneFrame(int32_t sceneId, double seconds) const override;

private:
    const EffectService& effects_;
};

}  // namespace Effect
