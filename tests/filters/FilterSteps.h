#pragma once
#include <memory>

#include "effect/AudioRenderContext.h"
#include "effect/EffectBase.h"
#include "effect/RenderContext.h"
#include "media/audio/AudioBuffer.h"
#include "media/gpu/ResourceBuffer.h"

// Runs the render steps a filter of its media has, as the render workers
// would: whether it handed on the image or sound it was given.
struct FilterSteps {
    Render::RenderContext video;
    Render::AudioRenderContext audio;
    std::shared_ptr<Media::ResourceBuffer> image = std::make_shared<Media::ResourceBuffer>(8, 4);
    std::shared_ptr<Media::AudioBuffer> sound = std::make_shared<Media::AudioBuffer>();

    bool passesOn(Effect::EffectBase& filter) {
        switch (filter.media) {
        case Effect::EffectBase::kVideo: return filter.filterVideo(video, image) == image;
        case Effect::EffectBase::kAudio: return filter.filterAudio(audio, sound) == sound;
        default:  // the camera's: lights gather before the objects, the bloom acts on the frame
            filter.preInputVideo(video);
            filter.controlVideo(video);
            return true;
        }
    }
    // Whether a video filter handed on an image of its own.
    bool drawsOn(Effect::EffectBase& filter) {
        const auto out = filter.filterVideo(video, image);
        return out && out != image;
    }
};
