#pragma once
#include "plugin/InputFile.h"
#include "plugin/InputPlugin.h"

#include <string>

// Still images through the image service: a one-frame video at 1/1 whose
// every frame decodes the file again (the pixels are kept by the image cache).
namespace Plugin {

class ImageFileReader : public InputPlugin {
public:
    class InputImageFile : public InputFile {
    public:
        explicit InputImageFile(std::wstring path) : path_(std::move(path)) {}
        std::shared_ptr<Media::ImageBuffer> readVideo(int32_t frame) override;

    private:
        const std::wstring path_;
    };

    ImageFileReader();
    std::shared_ptr<InputFile> open(const std::wstring& path) override;
};

}  // namespace Plugin
