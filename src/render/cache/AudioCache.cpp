#include "render/cache/AudioCache.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/SettingService.h"
#include "edit/Scene.h"
#include "media/audio/AudioBlockBuffer.h"
#include "render/cache/CacheBytes.h"
#include "render/cache/CacheSetup.h"
#include "render/cache/MediaInput.h"
#include "render/cache/ScenePath.h"
#include "render/cache/SceneSource.h"

namespace Cache {
namespace {

// Floor division: positions before the medium's start never index backwards into a block.
int64_t floorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

int32_t clampInt32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

void reverseFirst(Media::AudioBuffer& buffer, int32_t count) {
    for (int32_t c = 0; c < 2; ++c) {
        float* samples = buffer.getChannel(c);
        std::reverse(samples, samples + count);
    }
}

}  // namespace

AudioCache::AudioCache() : binding_(group_, Setting::SettingService::mainSettings()) {
    loadCacheGroup(group_);
    store_ = std::make_unique<Store>(static_cast<uint64_t>(audioCacheSize_ > 0 ? audioCacheSize_ : 0) << 20);
    alive_ = std::make_shared<std::atomic<AudioCache*>>(this);
    listenToScenes(alive_);
}

AudioCache::~AudioCache() {
    alive_->store(nullptr);
    store_->stop();
}

void AudioCache::dropScene(int32_t sceneId) { dropScenePath(*store_, sceneId); }

void AudioCache::loadBlock(const AudioCacheKey& key) {
    MediaInput* input = input_.load();
    if (input == nullptr) return;
    if (auto block = input->readAudio(key.path, key.block)) store_->complete(key, block, cacheBytes(*block));
}

int32_t AudioCache::sampleRateOf(const std::wstring& path) {
    if (isScenePath(path)) {
        const auto scene = sceneFromPath(scenes_.load(), path);
        return scene ? std::max(scene->audioRate, 0) : 0;
    }
    MediaInput* input = input_.load();
    return input != nullptr ? std::max(input->getAudioSampleRate(path), 0) : 0;
}

AudioCache::AudioPosition AudioCache::locate(int64_t sample, int64_t positionRate, int64_t mediaRate, double offset,
                                             double speed) {
    AudioPosition p;
    const int64_t step = speed == 1.0 ? mediaRate : std::llabs(std::llround(static_cast<double>(mediaRate) * speed));
    int64_t a = sample * step;
    if (offset != 0) {
        const auto rates = static_cast<uint64_t>(positionRate) * static_cast<uint64_t>(mediaRate);
        a += std::llround(static_cast<double>(rates) * offset);
        if (a <= 0) a = 0;
    }
    const int64_t unit = positionRate > 0 ? positionRate : 1;
    const int64_t perBlock = mediaRate > 0 ? mediaRate : 1;
    const int64_t q = floorDiv(a, unit);
    p.fraction = clampInt32(a - q * unit);
    p.block = clampInt32(floorDiv(q, perBlock));
    p.sampleInBlock = clampInt32(q - floorDiv(q, perBlock) * perBlock);
    p.positionRate = clampInt32(positionRate);
    p.mediaRate = clampInt32(mediaRate);
    p.step = clampInt32(step);
    return p;
}

std::shared_ptr<Media::AudioBlockBuffer> AudioCache::readBlock(const std::wstring& path, int32_t block) {
    AudioCacheKey key{path, block};
    if (isScenePath(path)) return store_->get(key, nullptr);
    return store_->get(key, [this, key] { loadBlock(key); });
}

std::unique_ptr<Media::AudioBuffer> AudioCache::getAudio(const std::wstring& path, RenderPosition position,
                                                         int32_t count, double offset, double speed) {
    const int32_t rate = sampleRateOf(path);
    if (rate == 0 || position.rate == 0) return nullptr;
    count = std::max(count, 0);
    auto result = std::make_unique<Media::AudioBuffer>();
    result->resize(count, 2);
    const AudioPosition p = locate(position.sample, position.rate, rate, offset, speed);
    const int64_t step = p.step;
    int64_t i = p.sampleInBlock;
    int64_t left = static_cast<int64_t>(position.rate) - p.fraction;
    int32_t b = p.block;
    auto block = readBlock(path, b);
    if (!block || step == 0 || block->samples < rate) {
        result->clear();
        return result;
    }
    float* outLeft = result->getChannel(0);
    float* outRight = result->getChannel(1);
    for (int32_t j = 0; j < count; ++j) {
        float l = 0.0f, r = 0.0f;
        int64_t need = step;
        while (need > 0) {
            const int64_t take = std::min(need, left);
            const float weight = take == step ? 1.0f : static_cast<float>(take) / static_cast<float>(step);
            const float* c0 = block->getChannel(0);
            const float* c1 = block->channels == 1 ? c0 : block->getChannel(1);
            l += c0[i] * weight;
            r += c1[i] * weight;
            need -= take;
            left -= take;
            if (left == 0) {
                left = position.rate;
                if (++i == rate) {
                    ++b;
                    block = readBlock(path, b);
                    i = 0;
                    // A block too short for the rate is treated as missing rather than read past its end.
                    if (!block || block->samples < rate) {
                        // A sample whose span is complete is kept: it was read in full.
                        int32_t written = j;
                        if (need == 0) {
                            outLeft[j] = l;
                            outRight[j] = r;
                            written = j + 1;
                        }
                        result->clearFrom(written);
                        if (speed < 0) reverseFirst(*result, std::min(count, written));
                        return result;
                    }
                }
            }
        }
        outLeft[j] = l;
        outRight[j] = r;
    }
    if (speed < 0) reverseFirst(*result, count);
    return result;
}

void AudioCache::preloadAudio(const std::wstring& path, RenderPosition position, int32_t count, double offset,
                              double speed) {
    const int32_t rate = sampleRateOf(path);
    if (rate == 0 || position.rate == 0) return;
    const int32_t first = locate(position.sample, position.rate, rate, offset, speed).block;
    const int32_t last = locate(position.sample + count, position.rate, rate, offset, speed).block;
    const bool scene = isScenePath(path);
    SceneSource* scenes = scenes_.load();
    const auto sceneObject = scene ? sceneFromPath(scenes, path) : nullptr;
    if (scene && !sceneObject) return;
    for (int32_t b = first; b <= last && b >= first; ++b) {
        AudioCacheKey key{path, b};
        if (scene) {
            store_->request(key, [this, scenes, sceneObject](const AudioCacheKey& wanted) {
                scenes->createSceneAudioBlock(sceneObject, wanted.block,
                                              [this, wanted](std::shared_ptr<Media::AudioBlockBuffer> block) {
                                                  if (block)
                                                      store_->complete(wanted, block, cacheBytes(*block));
                                                  else
                                                      store_->abandon(wanted);
                                              });
            });
        } else {
            store_->preload(key, [this, key] { loadBlock(key); });
        }
        if (b == INT32_MAX) break;
    }
}

}  // namespace Cache
