#include "render/cache/CacheService.h"

namespace Cache {
namespace {

template <class T>
void publish(T*& slot, T* value) {
    if (slot == nullptr) slot = value;
}

template <class T>
void withdraw(T*& slot, T* value) {
    if (slot == value) slot = nullptr;
}

}  // namespace

CacheService::CacheService() {
    publish(videoScratch_, &readVideo);
    publish(audioScratch_, &readAudio);
    publish(outputVideoScratch_, &writeVideo);
    publish(outputAudioScratch_, &writeAudio);
}

CacheService::~CacheService() {
    withdraw(videoScratch_, &readVideo);
    withdraw(audioScratch_, &readAudio);
    withdraw(outputVideoScratch_, &writeVideo);
    withdraw(outputAudioScratch_, &writeAudio);
}

void CacheService::setMediaInput(MediaInput* input) {
    imageCache.setMediaInput(input);
    audioCache.setMediaInput(input);
}

void CacheService::setSceneSource(SceneSource* scenes) {
    imageCache.setSceneSource(scenes);
    audioCache.setSceneSource(scenes);
}

}  // namespace Cache
