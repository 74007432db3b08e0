#include "effects/WaveImageInput.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "core/Exception.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/PopupMenu.h"
#include "edit/Scene.h"
#include "edit/SceneLayer.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/AudioRenderContext.h"
#include "effect/RenderContext.h"
#include "effects/MediaPlayPosition.h"
#include "media/audio/AudioBuffer.h"
#include "media/audio/RawAudioBuffer.h"
#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"
#include "platform/gpu/Texture.h"
#include "plugin/InputService.h"
#include "render/RenderAudioWorker.h"
#include "render/RenderService.h"
#include "shaders/BuiltinShaders.h"

namespace Effect {

namespace {

// The programs in the resource's order.
constexpr const char* kShaderNames[3] = {"WaveForm", "WaveSpectrum", "WaveSpectrumMirror"};
constexpr size_t kWaveform = 0, kSpectrum = 1, kMirroredSpectrum = 2;
// Levels the data row holds at most.
constexpr size_t kMaxLevels = 8000;
constexpr int32_t kR32Float = 41;

std::mutex showerMutex;
WaveImageInput::MenuShower& menuShower() {
    static WaveImageInput::MenuShower shower;
    return shower;
}

// The audio context of the video context's frame.
Render::AudioRenderContext audioContext(const Render::RenderContext& context) {
    Render::AudioRenderContext audio;
    static_cast<Render::ContextBase&>(audio) = context;
    audio.range = context.getAudioRange();
    return audio;
}

}  // namespace

const std::vector<WaveImageInput::Preset>& WaveImageInput::presets() {
    static const std::vector<Preset> rows = {
        {L"Type1", 0, 0, 0, 0, false, false},    {L"Type2", 200, 100, 50, 50, false, false},
        {L"Type3", 32, 40, 25, 25, true, false}, {L"Type4", 0, 0, 0, 0, true, false},
        {L"Type5", 40, 40, 80, 0, true, true},
    };
    return rows;
}

WaveImageInput::MenuShower WaveImageInput::setMenuShower(MenuShower shower) {
    const std::lock_guard guard(showerMutex);
    std::swap(menuShower(), shower);
    return shower;
}

WaveImageInput::WaveImageInput() {
    role = kInput;
    media = kVideo;
    placement = kVideo;
    playSpeed.notify = 1;
    preparePlayPosition(playPosition);
    file.notify = 1;
    file.placeholder = L"現在のシーンの音声";
    file.clearOnCancel = 1;
    preset.layout.width = 0.333f;
    preset.action = [this] { showPresetMenu(); };
    spectrum.layout.width = 0.333f;
    mirror.layout.width = 0.334f;
    resolutionX.placeholder = L"---";
    resolutionY.placeholder = L"---";
    spaceX.placeholder = L"---";
    spaceY.placeholder = L"---";
    movie.positionItem = &playPosition;
    movie.speedItem = &playSpeed;
    movie.fileItem = &file;
    movie.mediaKind = 2;
    menuGroup = L"カスタムオブジェクト";
}

void WaveImageInput::createCommonResource() {
    resource = ShaderResource::create(3, sizeof(Constant));
    for (size_t i = 0; i < std::size(kShaderNames); ++i) {
        const std::vector<uint8_t>* code =
            Shader::BuiltinShaders::code(kShaderNames[i], Platform::gpu::ShaderStage::Pixel);
        if (!code) throw System::messageException("Effect::WaveImageInput::CommonResource", "built-in shader missing.");
        resource->shaders[i]->loadFromMemory(code->data(), code->size());
    }
}

void WaveImageInput::preInputVideo(Render::RenderContext& context) {
    if (!file.path.empty()) {
        Render::AudioRenderContext audio = audioContext(context);
        movie.preloadAudio(audio);
        return;
    }
    Render::RenderService* render = Render::RenderService::get();
    if (render == nullptr || context.scene == nullptr) return;
    context.preInput = render->audio().requestPreInputAudio(*context.scene, context.frame);
}

std::shared_ptr<Media::ResourceBuffer> WaveImageInput::inputVideo(Render::RenderContext& context) {
    const auto draw = [&](const Media::AudioBuffer& sound) {
        return spectrum.value ? drawSpectrum(context, sound) : drawWaveform(context, sound);
    };
    if (!file.path.empty()) {
        Render::AudioRenderContext audio = audioContext(context);
        const std::shared_ptr<Media::AudioBuffer> sound = movie.readAudio(audio);
        return sound ? draw(*sound) : nullptr;
    }
    auto* rendered = dynamic_cast<Render::RenderAudioWorker::RenderingBuffer*>(context.preInput.get());
    if (rendered == nullptr) return nullptr;
    rendered->event.wait();
    return rendered->samples > 0 ? draw(*rendered) : nullptr;
}

std::wstring WaveImageInput::getDisplayName() const {
    if (file.path.empty()) return EffectBase::getDisplayName();
    const size_t slash = file.path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? file.path : file.path.substr(slash + 1);
}

bool WaveImageInput::isSupportedFile(const std::wstring& path) const {
    Plugin::InputService* input = Plugin::InputService::get();
    return input && input->getInputFile(path, 2) != nullptr;
}

bool WaveImageInput::itemEvent(const ItemEvent& event) { return movie.dispatch(event); }

std::shared_ptr<Media::ResourceBuffer> WaveImageInput::drawPass(size_t shader, const float* levels, size_t count,
                                                                uint32_t width, uint32_t height,
                                                                const Constant& constant) {
    if (!resource || !resource->constant || shader >= resource->shaders.size() || count == 0 || width == 0 ||
        height == 0)
        return nullptr;
    auto data = Media::ResourceBuffer::createBlank(uint32_t(count), 1, kR32Float);
    Platform::gpu::InitialData initial;
    initial.data = levels;
    initial.rowPitch = uint32_t(count * sizeof(float));
    data->createTexture2D(&initial);
    auto target = std::make_shared<Media::ResourceBuffer>(width, height);
    Media::Direct3DService* d3d = Media::Direct3DService::get();
    d3d->context->updateSubresource(*resource->constant->buffer, &constant);
    resource->shaders[shader]->drawResourceToResourceWithConstant(*target, *data, resource->constant->buffer.get(),
                                                                  nullptr);
    return target;
}

namespace {

// The target size and the parts of the constants both drawings share.
WaveImageInput::Constant baseConstant(WaveImageInput& w, Render::RenderContext& context, uint32_t& width,
                                      uint32_t& height) {
    const double wide = std::lround(w.width.getValue(context));
    const double high = std::lround(w.height.getValue(context));
    width = wide > 0 ? uint32_t(std::min(wide, double(Media::ResourceBuffer::kMaxSize))) : 0;
    height = high > 0 ? uint32_t(std::min(high, double(Media::ResourceBuffer::kMaxSize))) : 0;
    WaveImageInput::Constant c{};
    c.color[0] = float(w.color.red) / 255.0f;
    c.color[1] = float(w.color.green) / 255.0f;
    c.color[2] = float(w.color.blue) / 255.0f;
    c.color[3] = 1;
    c.size[0] = int32_t(width);
    c.size[1] = int32_t(height);
    c.pad[0] = float((100 - w.spaceX.value) * 0.005);
    c.pad[1] = float((100 - w.spaceY.value) * 0.005);
    return c;
}

}  // namespace

std::shared_ptr<Media::ResourceBuffer> WaveImageInput::drawWaveform(Render::RenderContext& context,
                                                                    const Media::AudioBuffer& sound) {
    Media::RawAudioBuffer mono;
    mono.channels = 1;
    mono.formatTag = Media::RawAudioBuffer::kFormatIeeeFloat;
    mono.bitsPerSample = 32;
    mono.blockAlign = 4;
    sound.convertTo(mono);
    const size_t count = std::min<size_t>(size_t(std::max(mono.sampleCount, 0)), kMaxLevels);
    uint32_t w = 0, h = 0;
    Constant c = baseConstant(*this, context, w, h);
    c.res[0] = resolutionX.value <= 0 ? int32_t(w) : resolutionX.value;
    if (size_t(c.res[0]) > count) c.res[0] = int32_t(count);
    c.res[1] = resolutionY.value <= 0 || resolutionY.value > int32_t(h) ? int32_t(h) : resolutionY.value;
    c.vol = float(volume.getValue(context) * 0.01 * 0.25);
    return drawPass(kWaveform, reinterpret_cast<const float*>(mono.data.data()), count, w, h, c);
}

std::shared_ptr<Media::ResourceBuffer> WaveImageInput::drawSpectrum(Render::RenderContext& context,
                                                                    const Media::AudioBuffer& sound) {
    uint32_t w = 0, h = 0;
    Constant c = baseConstant(*this, context, w, h);
    const int32_t bands = resolutionX.value <= 0 || resolutionX.value > int32_t(w) ? int32_t(w) : resolutionX.value;
    const int32_t rows = resolutionY.value <= 0 || resolutionY.value > int32_t(h) ? int32_t(h) : resolutionY.value;
    const std::vector<float> levels = sound.getSpectrum(bands);
    const size_t count = std::min(levels.size(), kMaxLevels);
    c.res[0] = int32_t(count);
    c.res[1] = rows;
    c.vol = float(volume.getValue(context) * 0.01 / 8192);
    return drawPass(mirror.value ? kMirroredSpectrum : kSpectrum, levels.data(), count, w, h, c);
}

void WaveImageInput::applyPreset(const Preset& row) {
    Edit::EditService* edit = Edit::EditService::instance();
    std::unique_ptr<Edit::UpdateSection> scope = edit ? edit->openSection() : nullptr;
    if (scope) {
        scope->effectStateChanged = true;
        // The undo item names this effect as the model holds it.
        std::shared_ptr<EffectBase> self;
        if (scope->scene)
            for (const auto& layer : scope->scene->layers)
                for (const auto& object : layer->objects)
                    for (const auto& effect : object->effects)
                        if (effect.get() == this) self = effect;
        if (Undo::UndoService* undo = Undo::UndoService::get(); undo && self) undo->addEffectUndoUpdate(self);
    }
    resolutionX.value = row.resolutionX;
    resolutionY.value = row.resolutionY;
    spaceX.value = row.spaceX;
    spaceY.value = row.spaceY;
    spectrum.value = row.spectrum;
    mirror.value = row.mirror;
}

void WaveImageInput::showPresetMenu() {
    MenuShower shower;
    {
        const std::lock_guard guard(showerMutex);
        shower = menuShower();
    }
    if (!shower) return;
    shower([this](Edit::PopupMenu& menu) {
        for (const Preset& row : presets()) menu.insertItem(row.name, true, [this, &row] { applyPreset(row); });
    });
}

}  // namespace Effect
