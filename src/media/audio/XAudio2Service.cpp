#include "media/audio/XAudio2Service.h"

#include <algorithm>
#include <exception>

#include "core/Exception.h"
#include "core/Log.h"
#include "platform/audio/Audio.h"
#include "platform/os/ErrorText.h"

namespace Media {
namespace {

namespace Audio = Platform::audio;

// Loaded once per process and kept until exit.
const Audio::Library* g_library = nullptr;

constexpr uint32_t kVersion = 0x0A00000A;

}  // namespace

XAudio2Service::XAudio2Service() = default;

XAudio2Service::~XAudio2Service() {
    try {
        release();
    } catch (const std::exception&) {
        // Already logged by the exception's builder; the voices still go.
        destroyVoices();
    }
    xaudio2.reset();
    blocks.clear();
    blockBytes = 0;
}

void XAudio2Service::initialize() {
    if (g_library == nullptr) g_library = Audio::loadLibrary();
    Platform::Result hr;
    if (g_library != nullptr && g_library->createWithVersionInfo != nullptr)
        hr = g_library->createWithVersionInfo(xaudio2, 0, 1, kVersion);
    else if (g_library != nullptr && g_library->create != nullptr)
        hr = g_library->create(xaudio2, 0, 1);
    else
        hr = System::hresultFromWin32(Platform::os::lastError());
    if (Platform::failed(hr)) {
        xaudio2.reset();
        throw System::hresultException("XAudio2Create", "Media::XAudio2Service::initialize", hr);
    }
}

void XAudio2Service::createPlayer(int32_t rate) {
    constexpr const char* kScope = "Media::XAudio2Service::createPlayer";
    try {
        if (!xaudio2) initialize();
        if (sourceVoice != nullptr) {
            if (rate != sampleRate) {
                // A refused rate would leave the voice playing at the old one.
                if (const auto hr = sourceVoice->setSourceSampleRate(static_cast<uint32_t>(std::max(rate, 0)));
                    Platform::failed(hr))
                    throw System::hresultException("sourceVoice->SetSourceSampleRate", kScope, hr);
                sampleRate = rate;
            }
            return;
        }
        if (masteringVoice != nullptr) {
            stop();
            clearBuffer();
            destroyVoices();
        }
        if (const auto hr = xaudio2->createMasteringVoice(&masteringVoice); Platform::failed(hr))
            throw System::hresultException("xaudio2->CreateMasteringVoice", kScope, hr);
        Audio::WaveFormat format;
        format.formatTag = Audio::kFormatIeeeFloat;
        format.channels = 2;
        format.samplesPerSec = static_cast<uint32_t>(std::max(rate, 0));
        format.avgBytesPerSec = format.samplesPerSec * 8;
        format.blockAlign = 8;
        format.bitsPerSample = 32;
        if (const auto hr = xaudio2->createSourceVoice(&sourceVoice, format); Platform::failed(hr))
            throw System::hresultException("xaudio2->CreateSourceVoice", kScope, hr);
        sampleRate = rate;
    } catch (const std::exception&) {
        System::Log::warn(kScope, "audio player initialize failed.");
        try {
            release();
        } catch (const std::exception&) {
            destroyVoices();  // never throws out of here
        }
    }
}

void XAudio2Service::play() {
    if (sourceVoice == nullptr || playing) return;
    playing = true;
    System::Log::info("Media::XAudio2Service::play", "start audio player");
    if (const auto hr = sourceVoice->start(); Platform::failed(hr))
        throw System::hresultException("sourceVoice->Start", "Media::XAudio2Service::play", hr);
}

void XAudio2Service::stop() {
    if (sourceVoice == nullptr || !playing) return;
    playing = false;
    System::Log::info("Media::XAudio2Service::stop", "stop audio player");
    if (const auto hr = sourceVoice->stop(); Platform::failed(hr))
        throw System::hresultException("sourceVoice->Stop", "Media::XAudio2Service::stop", hr);
}

void XAudio2Service::setVolume(int32_t percent) {
    if (sourceVoice == nullptr) return;
    const float volume = static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
    if (const auto hr = sourceVoice->setVolume(volume); Platform::failed(hr))
        throw System::hresultException("sourceVoice->SetVolume", "Media::XAudio2Service::setVolume", hr);
}

void XAudio2Service::pushBuffer(std::unique_ptr<System::AlignedBuffer> block) {
    blockBytes += static_cast<int32_t>(block->size());
    blocks.push_back(std::move(block));
}

void XAudio2Service::submitBuffer(std::unique_ptr<System::AlignedBuffer> block) {
    releasePlayedBuffers();
    pushBuffer(std::move(block));
    if (sourceVoice == nullptr) return;
    const System::AlignedBuffer& last = *blocks.back();
    Audio::Buffer buffer;
    buffer.audioBytes = last.size();
    buffer.audioData = last.data();
    if (const auto hr = sourceVoice->submitSourceBuffer(buffer); Platform::failed(hr)) {
        // The voice does not hold it: kept, it would make the oldest block
        // (still playing) the one freed next.
        blockBytes -= static_cast<int32_t>(blocks.back()->size());
        blocks.pop_back();
        throw System::hresultException("sourceVoice->SubmitSourceBuffer", "Media::XAudio2Service::submitBuffer", hr);
    }
}

void XAudio2Service::popOldest() {
    blockBytes -= static_cast<int32_t>(blocks.front()->size());
    blocks.pop_front();
}

void XAudio2Service::releasePlayedBuffers() {
    for (;;) {
        Audio::VoiceState state;
        if (sourceVoice != nullptr) sourceVoice->getState(state, Audio::kVoiceNoSamplesPlayed);
        if (blocks.size() <= state.buffersQueued) break;
        popOldest();
    }
}

void XAudio2Service::clearBuffer() {
    if (sourceVoice != nullptr) {
        if (const auto hr = sourceVoice->flushSourceBuffers(); Platform::failed(hr))
            throw System::hresultException("sourceVoice->FlushSourceBuffers", "Media::XAudio2Service::clearBuffer", hr);
    }
    blocks.clear();
    blockBytes = 0;
}

void XAudio2Service::destroyVoices() {
    if (sourceVoice != nullptr) sourceVoice->destroyVoice();
    sourceVoice = nullptr;
    if (masteringVoice != nullptr) masteringVoice->destroyVoice();
    masteringVoice = nullptr;
    playing = false;
}

void XAudio2Service::release() {
    stop();
    clearBuffer();
    destroyVoices();
}

}  // namespace Media
