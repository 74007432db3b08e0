#include <algorithm>
#include <cmath>
#include <string>

#include "core/Color.h"
#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/RenderContext.h"
#include "effects/TextInput.h"
#include "media/figure/FigureList.h"
#include "media/figure/SvgDocument.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/FontManager.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/image/ImageBuffer.h"
#include "media/text/TextDraw.h"
#include "plugin/InputFile.h"
#include "plugin/InputService.h"
#include "render/ResourceCache.h"
#include "render/VideoPass.h"
#include "render/cache/CacheService.h"
#include "script/LuaInstance.h"
#include "script/ScriptFunctions.h"

namespace Plugin::ScriptLibrary {

namespace {

using Image = std::shared_ptr<Media::ResourceBuffer>;

enum class Source { kMovie, kImage, kText, kFigure, kPlane, kFrameBuffer, kTempBuffer, kLayer, kBefore };

struct SourceName {
    std::string_view name;
    Source source;
};

// The load source table: type names and their loaders.
constexpr SourceName kSources[] = {
    {"movie", Source::kMovie},           {"image", Source::kImage},           {"text", Source::kText},
    {"figure", Source::kFigure},         {"plane", Source::kPlane},           {"framebuffer", Source::kFrameBuffer},
    {"tempbuffer", Source::kTempBuffer}, {"layer", Source::kLayer},           {"before", Source::kBefore},
};

constexpr uint32_t kMaxSide = Media::ResourceBuffer::kMaxSize;

// A loader's arguments, read and checked before anything else happens. Only
// trivially destructible members: reading may raise a Lua error.
struct Arguments {
    std::string_view text;
    int given = 0;  // arguments from the loader's first one
    bool timed = false, region = false, flag = false, colored = false;
    double time = 0, speed = 0, lineWidth = 4000;
    int32_t color = 0xffffff, size = 100;
    int32_t x = 0, y = 0, w = 0, h = 0;
    int32_t layer = 0;
};

Arguments readArguments(ScriptCall& call, Source source, int a) {
    Arguments args;
    args.given = std::max(0, call.count - a + 1);
    switch (source) {
    case Source::kMovie:
        args.text = call.string(a);
        args.timed = call.has(a + 1);
        if (args.timed) args.time = call.number(a + 1);
        if (call.has(a + 2)) (void)call.integer64(a + 2);
        break;
    case Source::kImage: args.text = call.string(a); break;
    case Source::kFigure:
        args.text = call.string(a);
        args.color = call.integerOr(a + 1, 0xffffff);
        args.size = call.integerOr(a + 2, 100);
        args.lineWidth = call.numberOr(a + 3, 4000);
        args.flag = call.boolean(a + 4);
        break;
    case Source::kPlane:
        args.w = call.integer(a);
        args.h = call.integer(a + 1);
        args.colored = call.has(a + 2);
        if (args.colored) args.color = call.integer(a + 2);
        break;
    case Source::kFrameBuffer:
        if (args.given >= 4) {
            args.region = true;
            args.x = call.integer(a);
            args.y = call.integer(a + 1);
            args.w = call.integer(a + 2);
            args.h = call.integer(a + 3);
        }
        if (args.given == 1) args.flag = call.boolean(a);
        if (args.given == 5) args.flag = call.boolean(a + 4);
        break;
    case Source::kTempBuffer:
        if (args.given >= 1) {
            args.region = true;
            args.x = call.integer(a);
            args.y = call.integer(a + 1);
            args.w = call.integer(a + 2);
            args.h = call.integer(a + 3);
        }
        break;
    case Source::kLayer:
        args.layer = call.integer(a);
        args.flag = call.boolean(a + 1);
        break;
    case Source::kBefore: break;
    case Source::kText:
        args.text = call.string(a);
        args.speed = call.numberOr(a + 1, 0);
        args.timed = call.has(a + 2);
        if (args.timed) args.time = call.number(a + 2);
        break;
    }
    return args;
}

bool isFigureName(const std::wstring& name) {
    const Resource::ResourceService* resources = Resource::ResourceService::get();
    if (resources == nullptr || !resources->figures) return false;
    for (const auto& [index, figure] : resources->figures->names)
        if (figure == name) return true;
    return false;
}

// The type of a file name or text that names no type.
Source guessSource(std::string_view text) {
    const std::wstring wide = System::utf8ToWide(std::string(text));
    const size_t slash = wide.find_last_of(L"/\\");
    const std::wstring extension =
        System::FileName::getExtension(slash == std::wstring::npos ? wide.c_str() : wide.c_str() + slash + 1);
    if (!extension.empty()) {
        if (const InputService* input = InputService::get()) {
            if (input->imageTable().count(extension) != 0) return Source::kImage;
            if (input->videoTable().count(extension) != 0) return Source::kMovie;
        }
        if (extension == L"svg") return Source::kFigure;
    }
    return isFigureName(wide) ? Source::kFigure : Source::kText;
}

// The object's current time in seconds.
double objectTime(const Render::RenderContext& context) {
    if (!context.object || context.scene == nullptr || context.scene->videoRate <= 0) return 0;
    return (context.preciseFrame - context.object->start) * context.scene->videoScale / context.scene->videoRate;
}

void clearImage(Media::ResourceBuffer& image, const float color[4]) {
    Media::Direct3DService* device = Media::Direct3DService::get();
    if (device == nullptr || !device->context) return;
    device->context->clearRenderTargetView(image.getRenderTargetView(), color);
}

Image copyOf(Media::ResourceBuffer& source, uint32_t x, uint32_t y, uint32_t w, uint32_t h) {
    auto image = std::make_shared<Media::ResourceBuffer>(w, h);
    image->copyRegion(source, x, y, w, h);
    return image;
}

// Clamps a region to a w x h buffer: x and y to 0..size, the extents to what is left.
void clampRegion(Arguments& args, uint32_t width, uint32_t height) {
    args.x = std::clamp<int64_t>(args.x, 0, width);
    args.y = std::clamp<int64_t>(args.y, 0, height);
    args.w = std::clamp<int64_t>(args.w, 0, width - static_cast<uint32_t>(args.x));
    args.h = std::clamp<int64_t>(args.h, 0, height - static_cast<uint32_t>(args.y));
}

Image uploaded(const std::shared_ptr<Media::ImageBuffer>& image) {
    if (!image) return nullptr;
    return Image(Media::ResourceBuffer::createFromImageBuffer(image));
}

double movieLength(const std::wstring& path) {
    InputService* input = InputService::get();
    if (input == nullptr) return 0;
    const std::shared_ptr<InputFile> file = input->getInputFile(path, InputFile::kVideo);
    if (!file || file->info.rate == 0) return 0;
    return static_cast<double>(file->info.frameCount) * file->info.scale / file->info.rate;
}

Image drawText(const Arguments& args, const Render::RenderContext& context) {
    const ScriptTextState& state = LuaInstance::textState();
    const Effect::TextInput::Decoration& decoration = Effect::TextInput::decorationRow(std::clamp(state.decorationType, 0, 6));
    const Effect::TextInput::Alignment& alignment = Effect::TextInput::alignmentRow(0);
    const std::wstring text = System::utf8ToWide(std::string(args.text));
    const std::wstring family = state.fontName.empty() ? Media::FontManager::defaultFamilyName() : state.fontName;
    Media::TextDraw layout;
    layout.text = text.c_str();
    layout.time = args.timed ? args.time : objectTime(context);
    layout.vertical = alignment.vertical;
    layout.alignment = alignment.line;
    layout.baseFamily = family.c_str();
    layout.baseSize = state.size;
    layout.outlineRatio = decoration.edge;
    layout.shadowRatio = decoration.shadow;
    layout.roundJoins = decoration.round;
    layout.baseColor1 = {state.color1[0], state.color1[1], state.color1[2], state.color1[3]};
    layout.baseColor2 = {state.color2[0], state.color2[1], state.color2[2], state.color2[3]};
    layout.displaySpeed = args.speed;
    layout.measure();
    const auto side = [](float extent) -> uint32_t {
        const float whole = std::ceil(extent);
        return whole >= 1 && std::isfinite(whole) ? static_cast<uint32_t>(std::min(whole, 1.0e9f)) : 0;
    };
    const uint32_t width = side(layout.blockWidth());
    const uint32_t height = side(layout.blockHeight());
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return nullptr;
    auto image = std::make_shared<Media::ResourceBuffer>(width, height);
    layout.draw(*image, true);
    return image;
}

// The source of another layer's object, optionally through its own filters.
Image layerImage(const Arguments& args, const Render::RenderContext& context) {
    const Edit::Scene* scene = context.scene;
    if (scene == nullptr || args.layer < 1 || args.layer > scene->layerCount()) return nullptr;
    const std::shared_ptr<Edit::Object> object =
        scene->findLayerObject(args.layer - 1, context.frame, Effect::EffectBase::kVideo);
    if (!object || object->effects.empty() || object->effects.front()->role != Effect::EffectBase::kInput)
        return nullptr;
    Render::RenderContext copy = context;
    copy.resetObject(object);
    copy.chain = std::make_shared<Render::ObjectChain>(Render::ObjectChain{object});
    copy.previousObjectImage = nullptr;
    Image image = object->effects.front()->inputVideo(copy);
    if (args.flag) {
        for (size_t i = 1; image && i < object->effects.size(); ++i) {
            Effect::EffectBase& effect = *object->effects[i];
            if (effect.disabled || !Render::VideoPass::isVideoFilter(effect)) continue;
            image = effect.filterVideo(copy, std::move(image));
        }
    }
    if (!image) return nullptr;
    return Image(image->clone());
}

// Runs the loader; the result count, or a failure of the call.
int runLoader(ScriptCall& call, Source source, Arguments& args, Render::RenderContext& context) {
    ScriptPluginInstance& instance = *call.instance;
    // Images live on the device; without one nothing can be loaded.
    if (Media::Direct3DService::get() == nullptr && source != Source::kTempBuffer && source != Source::kBefore) {
        instance.setObjectImage(nullptr);
        return source == Source::kMovie ? call.pushNumber(0) : 0;
    }
    switch (source) {
    case Source::kMovie: {
        if (args.text.empty()) return 0;
        const std::wstring path = call.instance->resolveScriptPath(std::string(args.text));
        const double seconds = args.timed ? args.time : objectTime(context);
        Cache::CacheService* cache = Cache::CacheService::get();
        instance.setObjectImage(cache ? uploaded(cache->imageCache.getMovieFrame(path, seconds)) : nullptr);
        return call.pushNumber(movieLength(path));
    }
    case Source::kImage: {
        if (args.text.empty()) return 0;
        const std::wstring path = call.instance->resolveScriptPath(std::string(args.text));
        Cache::CacheService* cache = Cache::CacheService::get();
        instance.setObjectImage(cache && System::File::exists(path) ? uploaded(cache->imageCache.getImage(path))
                                                                     : nullptr);
        return 0;
    }
    case Source::kFigure: {
        if (args.text.empty()) return 0;
        if (args.size <= 0) {
            instance.setObjectImage(nullptr);
            return 0;
        }
        const auto side = static_cast<uint32_t>(std::min<int64_t>(args.size, kMaxSide));
        const Media::ColorRgba color{((args.color >> 16) & 255) / 255.0f, ((args.color >> 8) & 255) / 255.0f,
                                     (args.color & 255) / 255.0f, 1};
        const std::wstring name = System::utf8ToWide(std::string(args.text));
        const Resource::ResourceService* resources = Resource::ResourceService::get();
        if (resources != nullptr && resources->figures) {
            for (const auto& [index, figure] : resources->figures->names) {
                if (figure != name) continue;
                instance.setObjectImage(Image(resources->figures->createFigure(
                    index, side, side, color, static_cast<float>(args.lineWidth), args.flag)));
                return 0;
            }
        }
        if (!System::File::exists(name)) return call.fail("figure not exist");
        Image image(Media::SvgDocument::createResourceBuffer(name, side, side, color, 0));
        if (!image) return call.fail("not supported figure file");
        instance.setObjectImage(std::move(image));
        return 0;
    }
    case Source::kPlane: {
        if (args.w < 1 || args.h < 1) {
            instance.setObjectImage(nullptr);
            return 0;
        }
        auto image = std::make_shared<Media::ResourceBuffer>(std::min<uint32_t>(args.w, kMaxSide),
                                                             std::min<uint32_t>(args.h, kMaxSide));
        const float color[4] = {args.colored ? ((args.color >> 16) & 255) / 255.0f : 0.0f,
                                args.colored ? ((args.color >> 8) & 255) / 255.0f : 0.0f,
                                args.colored ? (args.color & 255) / 255.0f : 0.0f, args.colored ? 1.0f : 0.0f};
        clearImage(*image, color);
        instance.setObjectImage(std::move(image));
        return 0;
    }
    case Source::kFrameBuffer: {
        Media::RenderBuffer* frame = context.view.frameBuffer;
        if (frame == nullptr || !frame->texture) return 0;
        if (args.region) clampRegion(args, frame->width, frame->height);
        else {
            args.w = static_cast<int32_t>(frame->width);
            args.h = static_cast<int32_t>(frame->height);
        }
        if (args.w == 0 || args.h == 0) {
            System::Log::script(instance.record().name.c_str(), "invalid framebuffer range");
            return 0;
        }
        Image whole(frame->createResourceBuffer(args.flag));
        if (static_cast<uint32_t>(args.w) == frame->width && static_cast<uint32_t>(args.h) == frame->height)
            instance.setObjectImage(std::move(whole));
        else
            instance.setObjectImage(copyOf(*whole, args.x, args.y, args.w, args.h));
        return 0;
    }
    case Source::kTempBuffer: {
        const Image temp = context.resourceCache ? context.resourceCache->find("tempbuffer") : nullptr;
        if (!temp) return call.fail("tempbuffer not exist");
        if (args.region) clampRegion(args, temp->width, temp->height);
        else {
            args.w = static_cast<int32_t>(temp->width);
            args.h = static_cast<int32_t>(temp->height);
        }
        if (args.w == 0 || args.h == 0) {
            System::Log::script(instance.record().name.c_str(), "invalid tempbuffer range");
            return 0;
        }
        if (!instance.objectImage()) {
            instance.setObjectImage(Image(temp->clone()));
            return 0;
        }
        // The region goes into an image of its own: the object's image may be
        // shared with a cache or with the caller.
        const auto w = std::min<uint32_t>(args.w, kMaxSide), h = std::min<uint32_t>(args.h, kMaxSide);
        instance.setObjectImage(copyOf(*temp, args.x, args.y, w, h));
        return 0;
    }
    case Source::kLayer: instance.setObjectImage(layerImage(args, context)); return 0;
    case Source::kBefore: {
        Image previous;
        if (context.previousObjectImage != nullptr) previous = std::move(*context.previousObjectImage);
        instance.setObjectImage(std::move(previous));
        return 0;
    }
    case Source::kText: {
        Image image = drawText(args, context);
        if (image) instance.setObjectImage(std::move(image));
        return 0;
    }
    }
    return 0;
}

}  // namespace

int load(ScriptCall& call) {
    const std::string_view first = call.string(1);
    Source source = Source::kText;
    int a = 1;
    bool named = false;
    for (const SourceName& entry : kSources) {
        if (entry.name == first) {
            source = entry.source;
            a = 2;
            named = true;
            break;
        }
    }
    // The guess makes texts of its own; they are gone before the arguments are read.
    if (!named) source = guessSource(first);
    Arguments args = readArguments(call, source, a);

    Render::RenderContext& context = call.renderContext();
    Effect::OutputView& view = context.view;
    view.x = view.y = view.z = 0;
    view.rotationX = view.rotationY = view.rotationZ = 0;
    view.scaleX = view.scaleY = view.scaleZ = 1;
    view.centerX = view.centerY = view.centerZ = 0;
    view.opacity = 1;
    call.instance->pixelCopy.reset();
    const int results = runLoader(call, source, args, context);
    if (results == ScriptCall::kFailed) return results;
    {
        LuaInstance::VariableAccessSection section(*call.instance);
        call.instance->setObjectVariables();
    }
    return results;
}

int setfont(ScriptCall& call) {
    const std::string_view name = call.string(1);
    const double size = call.number(2);
    const bool decorated = call.has(3);
    const int32_t decoration = decorated ? call.integer(3) : 0;
    const bool colored = call.has(4);
    const int32_t color = colored ? call.integer(4) : 0;
    const bool edged = call.has(5);
    const int32_t edge = edged ? call.integer(5) : 0;

    ScriptTextState& state = LuaInstance::textState();
    state.fontName = System::utf8ToWide(std::string(name));
    state.size = static_cast<float>(size);
    if (decorated) state.decorationType = decoration;
    const auto setColor = [](float* out, int32_t value) {
        out[0] = ((value >> 16) & 255) / 255.0f;
        out[1] = ((value >> 8) & 255) / 255.0f;
        out[2] = (value & 255) / 255.0f;
        out[3] = 1;
    };
    if (colored) setColor(state.color1, color);
    if (edged) setColor(state.color2, edge);
    return 0;
}

}  // namespace Plugin::ScriptLibrary
