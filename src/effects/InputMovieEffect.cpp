#include "effects/InputMovieEffect.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>

#include "core/StringHelper.h"
#include "edit/EditService.h"
#include "edit/FrameRate.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/AudioRenderContext.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemNumber.h"
#include "effect/MovementBase.h"
#include "effect/RenderContext.h"
#include "effects/MediaPlayPosition.h"
#include "media/audio/AudioBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceConvert.h"
#include "media/image/ImageBuffer.h"
#include "render/cache/CacheService.h"
#include "render/cache/ScenePath.h"
#include "plugin/InputFile.h"
#include "plugin/InputPlugin.h"
#include "plugin/InputService.h"

namespace Effect {

namespace {

constexpr const wchar_t* kNoMove = L"移動無し";
constexpr const wchar_t* kPlayRange = L"再生範囲";
// Speeds at or below 10 % leave the object's length alone.
constexpr double kSlowestFit = 0.09999989718198776;

bool movedBy(const EffectItemNumber& item, const wchar_t* name) {
    return item.movement && std::wcscmp(item.movement->name, name) == 0;
}

}  // namespace

void InputMovieEffect::initPositionItem() { preparePlayPosition(*positionItem); }

void InputMovieEffect::bindFileItems(EffectItemNumber& position, EffectItemNumber& speed, EffectItemFile& file,
                                     EffectItemCheck& loop, int32_t kind) {
    speed.notify = 1;
    file.notify = 1;
    positionItem = &position;
    speedItem = &speed;
    fileItem = &file;
    loopItem = &loop;
    mediaKind = kind;
    initPositionItem();
}

bool InputMovieEffect::rangeDriven() const {
    return movedBy(*positionItem, kNoMove) || movedBy(*positionItem, kPlayRange);
}

bool InputMovieEffect::speedFixed() const { return movedBy(*speedItem, kNoMove); }

bool InputMovieEffect::looping() const { return loopItem && loopItem->value != 0; }

InputMovieEffect::Geometry InputMovieEffect::geometryOf(const Edit::Object& object) {
    return {object.start, object.end, object.midpoints};
}

InputMovieEffect::FrameRate InputMovieEffect::rateOf(const Edit::Scene* scene) {
    if (!scene || scene->videoRate <= 0 || scene->videoScale <= 0) return {};
    return {scene->videoRate, scene->videoScale};
}

double InputMovieEffect::getPlayTime(FrameRate rate, const Geometry& geometry, int32_t frame) const {
    const double p0 = positionItem->keyValue(0);
    if (speedFixed()) return p0 + rate.seconds(frame - geometry.start) * speedItem->keyValue(0) / 100;
    const Render::SectionPosition at =
        Render::SectionPosition::locate(geometry.start, geometry.end, geometry.midpoints, frame, frame);
    double t = p0;
    int32_t sectionStart = geometry.start;
    for (int32_t i = 0; i < at.index; ++i) {
        const int32_t span =
            Render::SectionPosition::sectionLength(geometry.start, geometry.end, geometry.midpoints, i);
        t += rate.seconds(span) * speedItem->keyValue(i) / 100;
        sectionStart += span;
    }
    return t + rate.seconds(frame - sectionStart) * speedItem->keyValue(at.index) / 100;
}

std::pair<double, double> InputMovieEffect::getPlayRange() const {
    if (!movedBy(*positionItem, kPlayRange)) return {0, length};
    const double lo = std::clamp(positionItem->keyValue(0), 0.0, std::max(length, 0.0));
    const double r1 = positionItem->keyValue(1);  // value 0 when there is one value
    const double hi = (r1 > 0 && r1 <= length) ? std::max(r1, lo) : length;
    return {lo, hi};
}

double InputMovieEffect::wrapPlayTime(double t, std::pair<double, double> range) const {
    const auto [lo, hi] = range;
    const bool backwards = speedItem->keyValue(0) < 0 && rangeDriven();
    if (looping()) {
        const double span = hi - lo;
        if (span <= 0) return lo;
        const double r = std::fmod(t - lo, span);
        t = backwards ? (r > 0 ? r - span : r) + lo : (r < 0 ? r + span : r) + lo;
    }
    if (backwards) t += hi - lo;
    return t;
}

std::pair<double, double> InputMovieEffect::rawTime(const Render::RenderContext& context) const {
    // (time before wrapping, whether the position drives it by range)
    if (rangeDriven())
        return {getPlayTime(rateOf(context.scene), geometryOf(*context.object),
                            context.frame + context.mediaFrameOffset),
                1};
    Render::RenderContext copy = context;
    return {static_cast<float>(positionItem->getValue(copy)), 0};
}

double InputMovieEffect::getVideoTime(Render::RenderContext& context) const {
    const auto [raw, byRange] = rawTime(context);
    const auto range = getPlayRange();
    const double t = wrapPlayTime(raw, range);
    const double upper = (context.mediaFrameOffset > 0 && byRange != 0) ? length : range.second;
    return t > upper ? upper : std::max(t, range.first);
}

double InputMovieEffect::getAudioTime(const Render::AudioRenderContext& context) const {
    Render::RenderContext video;
    static_cast<Render::ContextBase&>(video) = context;
    const auto range = getPlayRange();
    const double t = wrapPlayTime(rawTime(video).first, range);
    if (t < range.first || t >= range.second) return length + 1.0;
    return t;
}

double InputMovieEffect::getAudioSpeed(const Render::AudioRenderContext& context) const {
    const int32_t k = context.section.index;
    double factor = speedItem->keyValue(k) / 100;
    if (!rangeDriven() && positionItem->keyValue(k + 1) < positionItem->keyValue(k)) factor = -factor;
    return factor;
}

double InputMovieEffect::getAudioStartOffset(const Render::AudioRenderContext& context) const {
    const double v = std::fabs(speedItem->keyValue(context.section.index) / 100);
    const int32_t start = context.object ? context.object->start : 0;
    return v * rateOf(context.scene).seconds(static_cast<double>(context.frame) - start);
}

std::wstring InputMovieEffect::mediaPath() const {
    if (sceneItem) return sceneItem->value != 0 ? L"*" + std::to_wstring(sceneItem->value) : std::wstring();
    return fileItem ? fileItem->path : std::wstring();
}

bool InputMovieEffect::checkMedia() {
    const std::lock_guard guard(probeMutex_);
    if (sceneItem) {
        hasVideo = hasAudio = 1;
        probed = 1;
        length = 0;
        // The scene is found the way the caches find it when they render it.
        if (const Cache::CacheService* caches = Cache::CacheService::get(); caches && sceneItem->value != 0)
            if (const auto scene = Cache::sceneFromPath(caches->imageCache.sceneSource(), mediaPath()))
                length = rateOf(scene.get()).seconds(scene->length);
        return length != 0;
    }
    if (probed) return mediaKind == 2 ? hasAudio != 0 : hasVideo != 0;
    Plugin::InputService* input = Plugin::InputService::get();
    const std::shared_ptr<Plugin::InputFile> file =
        input && fileItem && !fileItem->path.empty() ? input->getInputFile(fileItem->path, mediaKind) : nullptr;
    if (!file) {
        // Not remembered: a file that appears or becomes readable later plays then.
        hasVideo = hasAudio = 0;
        length = 0;
        return false;
    }
    const Plugin::InputFile::Info& info = file->info;
    hasVideo = (info.flags & Plugin::InputFile::kVideo) != 0;
    hasAudio = (info.flags & Plugin::InputFile::kAudio) != 0;
    if (mediaKind == 2)
        length = info.sampleRate > 0 ? static_cast<double>(info.audioSampleCount) / info.sampleRate : 0;
    else
        length = info.rate > 0 ? static_cast<double>(info.frameCount) * info.scale / info.rate : 0;
    probed = 1;
    return true;
}

std::shared_ptr<Media::ResourceBuffer> InputMovieEffect::readVideo(Render::RenderContext& context,
                                                                   std::shared_ptr<Media::ResourceBuffer>& kept) {
    Cache::CacheService* caches = Cache::CacheService::get();
    const std::wstring path = mediaPath();
    if (!caches || path.empty() || !checkMedia()) return nullptr;
    const std::shared_ptr<Media::ImageBuffer> image = caches->imageCache.getMovieFrame(path, getVideoTime(context));
    if (!image || image->width == 0 || image->height == 0) return nullptr;
    if (!kept || kept.use_count() > 1) kept = std::make_shared<Media::ResourceBuffer>(image->width, image->height);
    Media::ResourceConvert().convert(*image, *kept);
    return kept;
}

void InputMovieEffect::preloadVideo(Render::RenderContext& context) {
    Cache::CacheService* caches = Cache::CacheService::get();
    const std::wstring path = mediaPath();
    if (caches && !path.empty() && checkMedia()) caches->imageCache.preloadMovieFrame(path, getVideoTime(context));
}

std::shared_ptr<Media::AudioBuffer> InputMovieEffect::readAudio(Render::AudioRenderContext& context) {
    Cache::CacheService* caches = Cache::CacheService::get();
    const std::wstring path = mediaPath();
    if (!caches || path.empty() || !checkMedia()) return nullptr;
    const double t = getAudioTime(context);
    if (t >= length) return nullptr;
    return caches->audioCache.getAudio(path, {context.range.offset, static_cast<uint32_t>(context.range.rate)},
                                       context.range.count, t - getAudioStartOffset(context), getAudioSpeed(context));
}

void InputMovieEffect::preloadAudio(Render::AudioRenderContext& context) {
    Cache::CacheService* caches = Cache::CacheService::get();
    const std::wstring path = mediaPath();
    if (!caches || path.empty() || !checkMedia()) return;
    const double t = getAudioTime(context);
    if (t < length)
        caches->audioCache.preloadAudio(path, {context.range.offset, static_cast<uint32_t>(context.range.rate)},
                                        context.range.count, t - getAudioStartOffset(context), getAudioSpeed(context));
}

bool InputMovieEffect::onObjectRangeChanged(const ItemEvent& event, const Geometry& former) {
    if (!event.object || !rangeDriven() || !speedFixed() || looping() || !checkMedia()) return false;
    const bool playRange = movedBy(*positionItem, kPlayRange);
    const bool edgeMove = event.kind == ItemEvent::kStartMoved || event.kind == ItemEvent::kEndMoved;
    if (playRange && edgeMove)
        if (Edit::EditService* edit = Edit::EditService::instance(); edit && edit->settings().fixedMovieTimeRange)
            return false;
    const Edit::Object& object = *event.object;
    const FrameRate rate = rateOf(event.scope ? event.scope->scene.get() : nullptr);
    const bool startChanged = object.start != former.start;
    const bool endChanged = object.end != former.end;
    const auto [lo, hi] = getPlayRange();
    const double first = playRange ? lo : positionItem->keyValue(0);
    double c = first;
    double d = hi;
    if (speedItem->keyValue(0) >= 0) {
        if (startChanged) c = getPlayTime(rate, former, object.start);
        if (endChanged) d = getPlayTime(rate, former, object.end + 1);
    } else {
        if (endChanged) c = getPlayTime(rate, former, object.end + 1) + d - c;
        if (startChanged) d = getPlayTime(rate, former, object.start) + d - c;
    }
    if (event.kind != ItemEvent::kSplit && event.effect)
        if (Undo::UndoService* undo = Undo::UndoService::get()) undo->addEffectUndoUpdate(event.effect);
    if (event.scope) {
        event.scope->effectStateChanged = true;
        event.scope->objectChanged = true;
    }
    const double p = std::clamp(c, 0.0, std::max(length, 0.0));
    positionItem->setValue(p, 0);
    if (playRange) positionItem->setValue(std::clamp(d, p, std::max(length, p)), 1);
    if (edgeMove) fitObjectLength(event, false);
    return true;
}

bool InputMovieEffect::fitObjectLength(const ItemEvent& event, bool reset) {
    if (!event.object || !rangeDriven() || !speedFixed() || looping() || !event.object->midpoints.empty() ||
        !checkMedia())
        return false;
    const bool playRange = movedBy(*positionItem, kPlayRange);
    double c = playRange ? getPlayRange().first : positionItem->keyValue(0);
    double end = getPlayRange().second;
    if (reset) {
        positionItem->setValue(0, 0);
        if (playRange) positionItem->setValue(length, 1);
        c = 0;
        end = length;
    }
    const double f = speedItem->keyValue(0) / 100;
    if (std::fabs(f) <= kSlowestFit) return false;
    Edit::Scene* scene = event.scope ? event.scope->scene.get() : nullptr;
    const FrameRate rate = rateOf(scene);
    const int32_t n =
        std::max<int32_t>(1, static_cast<int32_t>(std::lround(std::fabs((end - c) / f) * rate.rate / rate.scale)));
    Edit::Object& object = *event.object;
    if (!reset && n >= object.end - object.start + 1) return false;
    const bool edgeMove = event.kind == ItemEvent::kStartMoved || event.kind == ItemEvent::kEndMoved;
    if (event.kind != ItemEvent::kFileGiven && !edgeMove)
        if (Undo::UndoService* undo = Undo::UndoService::get()) undo->addObjectUndoUpdate(event.object);
    if (event.scope) {
        event.scope->objectChanged = true;
        event.scope->layersChanged = true;
    }
    if (scene) scene->resizeObjectLength(object, n, event.kind == ItemEvent::kStartMoved);
    return true;
}

bool InputMovieEffect::fitLengthToSpeed(const ItemEvent& event) {
    if (!event.object || !rangeDriven() || !speedFixed() || looping() || !event.object->midpoints.empty() ||
        !checkMedia())
        return false;
    const double f = speedItem->keyValue(0) / 100;
    if (std::fabs(f) <= kSlowestFit) return false;
    const auto [lo, hi] = getPlayRange();
    Edit::Scene* scene = event.scope ? event.scope->scene.get() : nullptr;
    const FrameRate rate = rateOf(scene);
    const int32_t n =
        std::max<int32_t>(1, static_cast<int32_t>(std::lround(std::fabs((hi - lo) / f) * rate.rate / rate.scale)));
    if (Undo::UndoService* undo = Undo::UndoService::get()) undo->addObjectUndoUpdate(event.object);
    if (event.scope) {
        event.scope->objectChanged = true;
        event.scope->layersChanged = true;
    }
    if (scene) scene->resizeObjectLength(*event.object, n, false);
    return true;
}

bool InputMovieEffect::onItemChanged(const ItemEvent& event) {
    {
        const std::lock_guard guard(probeMutex_);
        probed = 0;
    }
    if (!fileItem || fileItem->path.empty()) return false;
    if (checkMedia()) {
        fitObjectLength(event, true);
        return true;
    }
    fileItem->path.clear();
    Edit::Project::postError(L"このファイルには対応していません");
    return false;
}

bool InputMovieEffect::onFileGiven(const ItemEvent& event) {
    {
        const std::lock_guard guard(probeMutex_);
        probed = 0;
    }
    if (fileItem) fileItem->setFilePath(event.path);
    fitObjectLength(event, true);
    return true;
}

bool InputMovieEffect::showFileInformation() {
    if (sceneItem) {
        const Edit::EditService* edit = Edit::EditService::instance();
        const std::shared_ptr<Edit::Scene> scene =
            edit != nullptr && sceneItem->value != 0 ? edit->project().getScene(sceneItem->value) : nullptr;
        if (!scene) return false;
        scene->showInfoToolTip();
        return true;
    }
    if (!fileItem || fileItem->path.empty()) return false;
    Edit::Scene::showInfoTip(fileInformation());
    return true;
}

std::wstring InputMovieEffect::fileInformation() {
    if (!fileItem || fileItem->path.empty()) return {};
    const std::wstring& path = fileItem->path;
    Plugin::InputService* input = Plugin::InputService::get();
    const auto file = input ? input->getInputFile(path, mediaKind) : nullptr;
    if (!file) return path;
    const Plugin::InputFile::Info& info = file->info;
    const double seconds =
        mediaKind == 2 ? (info.sampleRate > 0 ? static_cast<double>(info.audioSampleCount) / info.sampleRate : 0)
                       : (info.rate > 0 ? static_cast<double>(info.frameCount) * info.scale / info.rate : 0);
    wchar_t total[16];
    System::formatTimeSeconds(total, seconds);
    std::wstring text = path + L"\nTotalTime: " + total + L"\n";
    if (info.flags & Plugin::InputFile::kVideo) {
        const wchar_t* format = info.videoFormat == 10    ? L"RGBA64bit(HF64)"
                                : info.videoFormat == 11  ? L"RGBA64bit(PA64)"
                                : info.videoFormat == 13  ? L"YC48"
                                : info.videoFormat == 87  ? L"RGB32bit"
                                : info.videoFormat == 88  ? L"RGB24bit"
                                : info.videoFormat == 107 ? L"YUY2"
                                                          : L"";
        text += L"Video: " + std::to_wstring(info.width) + L" x " + std::to_wstring(info.height) + L" / " +
                System::formatDecimal(
                    Edit::getFrameRateValue(static_cast<int32_t>(info.rate), static_cast<int32_t>(info.scale))) +
                L"fps / " + format + L"\n";
    }
    if (info.flags & Plugin::InputFile::kAudio) {
        const wchar_t* format = info.audioFormatTag == 1 ? L"PCM" : info.audioFormatTag == 3 ? L"PCM(float)" : L"";
        text += L"Audio: " + System::formatDecimal(info.sampleRate / 1000.0) + L"khz / " +
                std::to_wstring(info.channels) + L"ch / " + format + std::to_wstring(info.bitsPerSample) + L"bit\n";
    }
    text += L"Plugin: ";
    if (file->plugin) text += file->plugin->name;
    return text;
}

bool InputMovieEffect::dispatch(const ItemEvent& event) {
    switch (event.kind) {
    case ItemEvent::kItemChanged: return event.item == speedItem ? fitLengthToSpeed(event) : onItemChanged(event);
    case ItemEvent::kFileGiven: return onFileGiven(event);
    case ItemEvent::kFileInformation: return showFileInformation();
    case ItemEvent::kStartMoved:
    case ItemEvent::kEndMoved: {
        if (!event.object) return false;
        Geometry former = geometryOf(*event.object);
        (event.kind == ItemEvent::kStartMoved ? former.start : former.end) = event.frame;
        return onObjectRangeChanged(event, former);
    }
    default: return false;
    }
}

}  // namespace Effect
