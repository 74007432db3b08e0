#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "core/ServiceHolder.h"
#include "media/gpu/BlendStateList.h"
#include "media/gpu/GdiFontList.h"
#include "media/gpu/NoiseTexture.h"
#include "media/gpu/PathData.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/RasterizerStateList.h"
#include "media/gpu/SamplerStateList.h"
#include "media/gpu/StrokeStyleList.h"
#include "media/gpu/TextFormat.h"

// The holder of the graphics objects many parts share, built once at
// start-up and read by render threads: stroke styles, the interface's text
// formats, the built-in shape
// paths, the device-state tables, the built-in pixel shaders, the figure and
// transition lists and the two noise textures. Members are built in this
// order and destroyed in the reverse one.
namespace Resource {

class FigureList;
class TransitionList;

class ResourceService {
public:
    ResourceService();
    ~ResourceService();
    ResourceService(const ResourceService&) = delete;
    ResourceService& operator=(const ResourceService&) = delete;

    static ResourceService* get() { return System::ServiceSlot<ResourceService>::instance; }

    // Fills the figure and transition lists at the end of construction; the
    // rooms that own those lists install it at start-up (unset: both stay empty).
    // Returns the builder installed before.
    using ListBuilder = std::function<void(ResourceService&)>;
    static ListBuilder setListBuilder(ListBuilder builder);

    // The interface's text formats, each made on first use from the style's [Font] keys.
    enum TextFormatIndex : size_t {
        kControl,
        kControlSmall,  // the family of kControl at 0.8 times its size
        kEditControl,
        kLayerObject,
        kPreviewTime,
        kTimeGauge,
        kFooter,
        kTextEdit,
        kLog,
        kTextFormatCount
    };

    StrokeStyleList strokeStyles;
    std::vector<std::unique_ptr<TextFormat>> textFormats;
    std::vector<std::unique_ptr<PathData>> paths;
    Shader::SamplerStateList samplerStates;
    Shader::BlendStateList blendStates;
    Shader::RasterizerStateList rasterizerStates;
    Shader::PixelShaderList pixelShaders;
    GdiFontList gdiFont;  // the font of the dialogs' controls
    std::shared_ptr<FigureList> figures;
    std::shared_ptr<TransitionList> transitions;
    SharedTexture permutationTexture{
        [](std::shared_ptr<Media::ResourceBuffer>& out) { out = NoiseTexture::upload(NoiseTexture::permutation()); }};
    SharedTexture smoothNoiseTexture{
        [](std::shared_ptr<Media::ResourceBuffer>& out) { out = NoiseTexture::upload(NoiseTexture::smoothNoise()); }};
};

}  // namespace Resource
