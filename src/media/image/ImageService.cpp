#include "media/image/ImageService.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/Exception.h"
#include "core/FileName.h"
#include "core/TextConvert.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "platform/draw2d/Bitmap.h"
#include "platform/imaging/Imaging.h"

namespace Media {
namespace {

namespace Img = Platform::imaging;

void check(Platform::Result hr, const char* call, const char* scope) {
    if (Platform::failed(hr)) throw System::hresultException(call, scope, hr);
}

constexpr const char* kCannotConvert = "IWICFormatConverter can not convert.";

}  // namespace

ImageService::ImageService() {
    check(Img::createFactory(factory), "CoCreateInstance", "Media::ImageService::ImageService");
}

ImageService::~ImageService() = default;

std::shared_ptr<ImageBuffer> ImageService::loadFromFile(const std::wstring& path) {
    constexpr const char* kScope = "Media::ImageService::loadFromFile";
    std::unique_ptr<Img::Decoder> decoder;
    check(factory->createDecoderFromFilename(System::wideToUtf8(path), decoder), "factory->CreateDecoderFromFilename",
          kScope);
    std::unique_ptr<Img::DecodedFrame> frame;
    check(decoder->getFrame(0, frame), "decoder->GetFrame", kScope);
    std::unique_ptr<Img::FormatConverter> converter;
    check(factory->createFormatConverter(converter), "factory->CreateFormatConverter", kScope);
    uint32_t width = 0, height = 0;
    check(frame->getSize(width, height), "frame->GetSize", kScope);
    Img::FormatId format = Img::FormatId::Undefined;
    check(frame->getPixelFormat(format), "frame->GetPixelFormat", kScope);

    auto image = ImageBuffer::make(PixelFormat::kR8G8B8A8Unorm, width, height);
    bool can = false;
    check(Img::FormatConverter::canConvert(format, Img::FormatId::Rgba32, can), "converter->CanConvert", kScope);
    if (!can) throw System::messageException(kScope, kCannotConvert);
    check(converter->initialize(frame.get(), Img::FormatId::Rgba32), "converter->Initialize", kScope);
    check(converter->copyPixels(nullptr, image->pitch, image->usedSize(), image->data()), "converter->CopyPixels",
          kScope);
    return image;
}

void ImageService::saveToFile(const std::wstring& path, const void* pixels, uint32_t width, uint32_t height,
                              uint32_t pitch, Img::FormatId sourceFormat, Img::FormatId& containerFormat,
                              const wchar_t* optionName, const Img::Variant* optionValue) {
    constexpr const char* kScope = "Media::ImageService::saveToFile";
    // Declared first, so it goes last: until the encoder's commit the file is
    // a temporary one that the stream removes when it goes.
    std::unique_ptr<Img::FileStream> stream;
    check(factory->createStream(stream), "factory->CreateStream", kScope);
    check(stream->initializeFromFilename(System::wideToUtf8(path)), "stream->InitializeFromFilename", kScope);
    std::unique_ptr<Img::Encoder> encoder;
    check(factory->createEncoder(containerFormat, encoder), "factory->CreateEncoder", kScope);
    check(encoder->initialize(stream.get()), "encoder->Initialize", kScope);
    std::unique_ptr<Img::FrameEncode> frame;
    std::unique_ptr<Img::PropertyBag> options;
    check(encoder->createNewFrame(frame, options), "encoder->CreateNewFrame", kScope);
    if (optionName != nullptr && optionValue != nullptr)
        (void)options->write(optionName, *optionValue);  // refused: left out
    check(frame->initialize(options.get()), "frame->Initialize", kScope);
    check(frame->setSize(width, height), "frame->SetSize", kScope);
    check(frame->setResolution(72.0, 72.0), "frame->SetResolution", kScope);
    check(frame->setPixelFormat(containerFormat), "frame->SetPixelFormat", kScope);
    const Img::FormatId target = containerFormat;

    std::unique_ptr<Img::MemoryBitmap> bitmap;
    check(factory->createBitmapFromMemory(width, height, sourceFormat, pitch, static_cast<size_t>(pitch) * height,
                                          static_cast<const uint8_t*>(pixels), bitmap),
          "factory->CreateBitmapFromMemory", kScope);
    std::unique_ptr<Img::FormatConverter> converter;
    check(factory->createFormatConverter(converter), "factory->CreateFormatConverter", kScope);
    bool can = false;
    check(Img::FormatConverter::canConvert(sourceFormat, target, can), "converter->CanConvert", kScope);
    if (!can) throw System::messageException(kScope, kCannotConvert);
    check(converter->initialize(bitmap.get(), target), "converter->Initialize", kScope);
    const Img::Rect rect{0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
    check(frame->writeSource(converter.get(), &rect), "frame->WriteSource", kScope);
    check(frame->commit(), "frame->Commit", kScope);
    check(encoder->commit(), "encoder->Commit", kScope);
}

std::unique_ptr<Platform::draw2d::Bitmap> ImageService::loadFromResource(int32_t id,
                                                                         Platform::draw2d::RenderTarget* /*target*/) {
    constexpr const char* kScope = "Media::ImageService::loadFromResource";
    namespace D2 = Platform::draw2d;
    const std::wstring path =
        System::FileName::getExpandedPath((L"%AppInstall%/icons/" + std::to_wstring(id) + L".png").c_str());
    errno = 0;
    std::ifstream file(System::wideToUtf8(path), std::ios::binary);
    if (!file) {
        if (errno == 0) errno = ENOENT;
        throw System::lastErrorException("FindResource", kScope);
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        errno = EINVAL;
        throw System::lastErrorException("SizeofResource", kScope);
    }

    std::unique_ptr<Img::FileStream> stream;
    check(factory->createStream(stream), "factory->CreateStream", kScope);
    check(stream->initializeFromMemory(bytes.data(), bytes.size()), "stream->InitializeFromMemory", kScope);
    std::unique_ptr<Img::Decoder> decoder;
    check(factory->createDecoderFromStream(*stream, decoder), "factory->CreateDecoderFromStream", kScope);
    std::unique_ptr<Img::DecodedFrame> frame;
    check(decoder->getFrame(0, frame), "decoder->GetFrame", kScope);
    std::unique_ptr<Img::FormatConverter> converter;
    check(factory->createFormatConverter(converter), "factory->CreateFormatConverter", kScope);
    check(converter->initialize(frame.get(), Img::FormatId::Pbgra32), "converter->Initialize", kScope);
    uint32_t width = 0, height = 0;
    check(converter->getSize(width, height), "converter->Initialize", kScope);
    std::vector<uint8_t> pixels(size_t(width) * height * 4);
    check(converter->copyPixels(nullptr, width * 4, pixels.size(), pixels.data()), "converter->Initialize", kScope);
    std::unique_ptr<D2::Bitmap> bitmap;
    constexpr int32_t kB8G8R8A8 = 87;
    check(D2::Bitmap::create(width, height, pixels.data(), width * 4, kB8G8R8A8, D2::AlphaMode::Premultiplied, bitmap),
          "target->CreateBitmapFromWicBitmap", kScope);
    return bitmap;
}

}  // namespace Media
