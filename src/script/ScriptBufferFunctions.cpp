#include <algorithm>
#include <cmath>
#include <string>

#include "core/File.h"
#include "effect/RenderContext.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "render/ResourceCache.h"
#include "render/cache/CacheService.h"
#include "script/LuaInstance.h"
#include "script/ScriptFunctions.h"

namespace Plugin::ScriptLibrary {

namespace {

using Image = std::shared_ptr<Media::ResourceBuffer>;

enum class Buffer { kObject, kFrame, kNamed, kFile, kOther };

constexpr std::string_view kCachePrefix = "cache:";
constexpr std::string_view kImagePrefix = "image:";

Buffer kindOf(std::string_view name) {
    if (name == "object") return Buffer::kObject;
    if (name == "framebuffer") return Buffer::kFrame;
    if (name == "tempbuffer" || name.starts_with(kCachePrefix)) return Buffer::kNamed;
    if (name.starts_with(kImagePrefix)) return Buffer::kFile;
    return Buffer::kOther;
}

std::string_view longSource(std::string_view name) {
    if (name == "frm") return "framebuffer";
    if (name == "tmp") return "tempbuffer";
    if (name == "obj") return "object";
    return name;
}

std::string_view longDestination(std::string_view name) {
    if (name == "tmp") return "tempbuffer";
    if (name == "obj") return "object";
    return name;
}

bool hasSize(const Image& image) { return image && image->width != 0 && image->height != 0; }

Image findNamed(Render::RenderContext& context, std::string_view name) {
    return context.resourceCache ? context.resourceCache->find(name) : nullptr;
}

// The named buffer at this size, made or replaced when needed; none without a cache.
Image acquireNamed(Render::RenderContext& context, std::string_view name, uint32_t width, uint32_t height) {
    if (!context.resourceCache || width == 0 || height == 0) return nullptr;
    width = std::min(width, Media::ResourceBuffer::kMaxSize);
    height = std::min(height, Media::ResourceBuffer::kMaxSize);
    return context.resourceCache->acquire(name, static_cast<int32_t>(width), static_cast<int32_t>(height));
}

// Copies the whole source over the whole destination of the same size.
void copyPass(Media::ResourceBuffer& destination, Media::ResourceBuffer& source) {
    destination.copyRegion(source, 0, 0, destination.width, destination.height);
}

bool copyToFrame(ScriptCall& call, Media::RenderBuffer* frame, const Image& source, std::string_view sourceName,
                 std::string_view destinationName, bool& failed) {
    if (frame == nullptr || !frame->texture || !hasSize(source)) return false;
    if (frame->width != source->width || frame->height != source->height) {
        call.fail("different buffer size. src=%.*s dst=%.*s", static_cast<int>(sourceName.size()), sourceName.data(),
                  static_cast<int>(destinationName.size()), destinationName.data());
        failed = true;
        return false;
    }
    Media::Direct3DService* device = Media::Direct3DService::get();
    if (device == nullptr || !device->context || !source->texture) return false;
    if (frame->sampleCount == 1 && frame->format == source->format)
        (void)device->context->copyResource(*frame->texture, *source->texture);
    return true;
}

void clearView(Platform::gpu::View* view, const float color[4]) {
    Media::Direct3DService* device = Media::Direct3DService::get();
    if (view == nullptr || device == nullptr || !device->context) return;
    device->context->clearRenderTargetView(view, color);
}

// The 8-bit BGRA copy pixels are read from, made when missing or of another size.
const Media::ImageBuffer* pixelCopy(ScriptCall& call) {
    ScriptPluginInstance& instance = *call.instance;
    if (instance.pixelSource == 1) {
        Media::RenderBuffer* frame = call.renderContext().view.frameBuffer;
        if (frame == nullptr || !frame->texture || frame->width == 0 || frame->height == 0) return nullptr;
        if (!instance.pixelCopy || instance.pixelCopy->width != frame->width ||
            instance.pixelCopy->height != frame->height)
            instance.pixelCopy = frame->createImageBuffer(Media::PixelFormat::kB8G8R8A8Unorm, false);
        return instance.pixelCopy.get();
    }
    const Image& image = instance.objectImage();
    if (!hasSize(image) || !image->texture) return nullptr;
    if (!instance.pixelCopy || instance.pixelCopy->width != image->width ||
        instance.pixelCopy->height != image->height) {
        Media::Direct3DService* device = Media::Direct3DService::get();
        if (device == nullptr || !device->context) return nullptr;
        Media::RenderBuffer target(image->format, Media::Direct3DService::SampleDesc{});
        target.createTexture2D(image->width, image->height);
        if (!target.texture) return nullptr;
        (void)device->context->copyResource(*target.texture, *image->texture);
        instance.pixelCopy = target.createImageBuffer(Media::PixelFormat::kB8G8R8A8Unorm, false);
    }
    return instance.pixelCopy.get();
}

int32_t roundHalfAway(float value) { return static_cast<int32_t>(std::lround(value)); }

}  // namespace

int copybuffer(ScriptCall& call) {
    const std::string_view givenDestination = call.string(1);
    const std::string_view givenSource = call.string(2);
    Render::RenderContext& context = call.renderContext();
    ScriptPluginInstance& instance = *call.instance;
    const std::string_view source = longSource(givenSource);
    const std::string_view destination = longDestination(givenDestination);
    const Buffer from = kindOf(source);
    const Buffer to = kindOf(destination);
    const auto invalid = [&] {
        return call.fail("invalid buffer type. src=%.*s dst=%.*s", static_cast<int>(source.size()), source.data(),
                         static_cast<int>(destination.size()), destination.data());
    };
    const bool validPair = (from == Buffer::kFrame && (to == Buffer::kObject || to == Buffer::kNamed)) ||
                           (from == Buffer::kObject && (to == Buffer::kNamed || to == Buffer::kFrame)) ||
                           (from == Buffer::kNamed && to != Buffer::kFile && to != Buffer::kOther) ||
                           (from == Buffer::kFile && (to == Buffer::kObject || to == Buffer::kNamed));
    if (!validPair) return invalid();

    Image sourceImage;
    switch (from) {
    case Buffer::kFrame: {
        Media::RenderBuffer* frame = context.view.frameBuffer;
        if (frame == nullptr || !frame->texture) return call.pushBoolean(false);
        sourceImage = Image(frame->createResourceBuffer(false));
        break;
    }
    case Buffer::kObject: sourceImage = instance.objectImage(); break;
    case Buffer::kNamed: sourceImage = findNamed(context, source); break;
    case Buffer::kFile: {
        Cache::CacheService* cache = Cache::CacheService::get();
        const std::wstring path = call.instance->resolveScriptPath(std::string(source.substr(kImagePrefix.size())));
        if (cache != nullptr && System::File::exists(path)) {
            if (auto decoded = cache->imageCache.getImage(path))
                sourceImage = Image(Media::ResourceBuffer::createFromImageBuffer(decoded));
        }
        break;
    }
    case Buffer::kOther: break;
    }
    if (!hasSize(sourceImage)) return call.pushBoolean(false);

    switch (to) {
    case Buffer::kObject:
        // The object image gets a buffer of its own: the source stays shared
        // with the cache or the frame.
        instance.setObjectImage(from == Buffer::kFrame ? sourceImage : Image(sourceImage->clone()));
        instance.pixelCopy.reset();
        {
            LuaInstance::VariableAccessSection section(*call.instance);
            call.instance->setObjectVariables();
        }
        break;
    case Buffer::kNamed: {
        const Image target = acquireNamed(context, destination, sourceImage->width, sourceImage->height);
        if (!target) return call.pushBoolean(false);
        if (target != sourceImage) copyPass(*target, *sourceImage);
        if (destination == "tempbuffer" && instance.drawTarget) instance.drawTarget = target;
        break;
    }
    case Buffer::kFrame: {
        bool failed = false;
        const bool copied = copyToFrame(call, context.view.frameBuffer, sourceImage, source, destination, failed);
        if (failed) return ScriptCall::kFailed;
        if (!copied) return call.pushBoolean(false);
        break;
    }
    case Buffer::kFile:
    case Buffer::kOther: return invalid();
    }
    return call.pushBoolean(true);
}

int clearbuffer(ScriptCall& call) {
    const std::string_view target = call.string(1);
    const bool colored = call.has(2);
    const int32_t color = colored ? call.integer(2) : 0;
    const float rgba[4] = {colored ? ((color >> 16) & 255) / 255.0f : 0.0f,
                           colored ? ((color >> 8) & 255) / 255.0f : 0.0f, colored ? (color & 255) / 255.0f : 0.0f,
                           colored ? 1.0f : 0.0f};
    switch (kindOf(target)) {
    case Buffer::kObject:
        if (const Image& image = call.instance->objectImage(); hasSize(image))
            clearView(image->getRenderTargetView(), rgba);
        return 0;
    case Buffer::kNamed:
        if (const Image image = findNamed(call.renderContext(), target); hasSize(image))
            clearView(image->getRenderTargetView(), rgba);
        return 0;
    case Buffer::kFrame: {
        Media::RenderBuffer* frame = call.renderContext().view.frameBuffer;
        if (frame != nullptr && frame->texture) {
            if (frame->renderTargetView == nullptr) frame->createRenderTargetView();
            clearView(frame->renderTargetView, rgba);
        }
        return 0;
    }
    case Buffer::kFile:
    case Buffer::kOther: break;
    }
    return call.fail("invalid buffer type. target=%.*s", static_cast<int>(target.size()), target.data());
}

int pixeloption(ScriptCall& call) {
    const std::string_view name = call.string(1);
    const std::string_view value = call.string(2);
    ScriptPluginInstance& instance = *call.instance;
    if (name == "type") {
        instance.pixelType = value == "rgb" ? 1 : value == "yc" ? 2 : 0;
        return 0;
    }
    if (name == "get") {
        instance.pixelSource = value == "framebuffer" || value == "frm" ? 1 : 0;
        instance.pixelCopy.reset();
        return 0;
    }
    return call.fail("unsupported");
}

int getpixel(ScriptCall& call) {
    ScriptPluginInstance& instance = *call.instance;
    if (call.count == 0) {
        const Image& image = instance.objectImage();
        return call.pushInteger(image ? image->width : 0) + call.pushInteger(image ? image->height : 0);
    }
    const int32_t x = call.integer(1);
    const int32_t y = call.integerOr(2, 0);
    int32_t type = instance.pixelType;
    if (call.has(3)) {
        const std::string_view word = call.string(3);
        type = word == "rgb" ? 1 : word == "yc" ? 2 : 0;
    }
    const Media::ImageBuffer* copy = pixelCopy(call);
    if (copy == nullptr || copy->width == 0 || copy->height == 0) return 0;
    const uint32_t px = static_cast<uint32_t>(std::clamp<int64_t>(x, 0, copy->width - 1));
    const uint32_t py = static_cast<uint32_t>(std::clamp<int64_t>(y, 0, copy->height - 1));
    const uint8_t* pixel = copy->data() + static_cast<size_t>(py) * copy->pitch + static_cast<size_t>(px) * 4;
    const int32_t b = pixel[0], g = pixel[1], r = pixel[2], a = pixel[3];
    switch (type) {
    case 1: return call.pushInteger(r) + call.pushInteger(g) + call.pushInteger(b) + call.pushInteger(a);
    case 2: {
        constexpr float kScale = 16.062746f;
        const float R = r * kScale, G = g * kScale, B = b * kScale;
        return call.pushInteger(roundHalfAway(0.299f * R + 0.587f * G + 0.114f * B)) +
               call.pushInteger(roundHalfAway(-0.169f * R - 0.331f * G + 0.5f * B)) +
               call.pushInteger(roundHalfAway(0.5f * R - 0.419f * G - 0.081f * B)) +
               call.pushInteger(roundHalfAway(a * kScale));
    }
    default: return call.pushInteger((r << 16) | (g << 8) | b) + call.pushNumber(a / 255.0);
    }
}

}  // namespace Plugin::ScriptLibrary
