#pragma once
#include <memory>
#include <mutex>
#include <string>

#include "plugin/InputFile.h"
#include "plugin/InputPlugin.h"

namespace Media {
class MediaSourceReader;
}

// Other media through the media source reader. A file with both streams holds
// two readers, so that reading video never moves the audio position.
namespace Plugin {

class MediaFileReader : public InputPlugin {
public:
    class InputMediaFile : public InputFile {
    public:
        InputMediaFile();
        ~InputMediaFile() override;
        std::shared_ptr<Media::ImageBuffer> readVideo(int32_t frame) override;
        std::shared_ptr<Media::AudioBlockBuffer> readAudio(int32_t block) override;

        std::unique_ptr<Media::MediaSourceReader> videoReader;
        std::unique_ptr<Media::MediaSourceReader> audioReader;

    private:
        // A reader keeps a decoding position: one caller at a time.
        std::mutex videoMutex_;
        std::mutex audioMutex_;
    };

    MediaFileReader();
    std::shared_ptr<InputFile> open(const std::wstring& path) override;
};

}  // namespace Plugin
