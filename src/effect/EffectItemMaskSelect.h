#pragma once
#include <memory>
#include <string>

#include "effect/EffectItem.h"
#include "effect/EffectItemSelect.h"

namespace Media {
class ResourceBuffer;
}
namespace Render {
class RenderContext;
}

namespace Effect {

class EffectItemCheck;

// Where mask pictures come from: the figure list, the image cache and the
// render's named buffers, installed at start-up by the layers that own them.
// Without one no mask has a picture.
class MaskImageSource {
public:
    virtual ~MaskImageSource() = default;
    // The figure of the list filled in white at the size, or none.
    virtual std::shared_ptr<Media::ResourceBuffer> figure(int32_t index, uint32_t width, uint32_t height) const = 0;
    // The picture of the file, or none.
    virtual std::shared_ptr<Media::ResourceBuffer> file(const std::wstring& path) const = 0;
    // A copy of the buffer of the name in the context's named buffers, or none.
    virtual std::shared_ptr<Media::ResourceBuffer> named(const Render::RenderContext& context,
                                                         const std::string& name) const = 0;
    // The frame of the scene at the seconds, or none.
    virtual std::shared_ptr<Media::ResourceBuffer> sceneFrame(int32_t sceneId, double seconds) const = 0;
    // The scene's length in seconds; false when there is no such scene.
    virtual bool sceneSeconds(int32_t sceneId, double& seconds) const = 0;
    virtual void preloadFile(const std::wstring& path) const = 0;
    virtual void preloadSceneFrame(int32_t sceneId, double seconds) const = 0;

    static inline const MaskImageSource* installed = nullptr;
};

// A mask source: a figure of the figure list, an image file, a script mask
// ("*" and the buffer name) or a scene. The scene is in use when its id is 0
// or more, else the list entry when its index is 0 or more, else the path;
// the setters keep only one of them set.
class EffectItemMaskSelect : public EffectItem {
public:
    using SharedList = EffectItemSelect::SharedList;

    const SharedList* options = nullptr;  // the figure list
    int32_t index = 1;
    int32_t sceneId = -1;
    std::wstring path;
    EffectItemCheck* fitScene = nullptr;  // "シーンの長さを合わせる" of the same effect

    static bool hasType(uint8_t code) { return code == kMask; }

    EffectItemMaskSelect(ItemList* list, std::wstring name, EffectItemCheck* fitScene = nullptr);
    EffectItemMaskSelect(const EffectItemMaskSelect& other) = default;

    void copyFrom(const EffectItem& other) override;
    bool equals(const EffectItem& other) const override;
    std::unique_ptr<EffectItem> clone() const override;
    std::string toString() const override;
    void fromString(std::string_view text) override;
    bool getFilePath(std::wstring& out) const override;
    void setFilePath(const std::wstring& value) override;

    void setListValue(int32_t value);
    void setSceneValue(int32_t id);

    // The mask for the context's frame: a figure drawn at the size, an image
    // file or a scene frame at their own size, or a script's buffer; none
    // when it cannot be had (the root scene never is a mask).
    std::shared_ptr<Media::ResourceBuffer> getMaskImage(const Render::RenderContext& context, uint32_t width,
                                                        uint32_t height) const;
    // Asks for a file or scene frame ahead of getMaskImage.
    void preloadMaskImage(const Render::RenderContext& context) const;
    // Seconds into the mask scene at the context's frame: the object's time,
    // or stretched so the scene runs once over the object when fitted.
    double maskSeconds(const Render::RenderContext& context) const;
};

}  // namespace Effect
