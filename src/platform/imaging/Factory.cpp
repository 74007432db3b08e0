#include "platform/imaging/Factory.h"

#include <cerrno>
#include <cstdio>
#include <new>
#include <vector>

#include "platform/imaging/Codec.h"
#include "platform/imaging/ImagingResult.h"

namespace Platform::imaging {
namespace {

Result makeDecoder(std::shared_ptr<std::vector<uint8_t>> bytes, std::unique_ptr<Decoder>& decoder) {
    const FormatId container = codec::detectContainer(bytes->data(), bytes->size());
    if (container == FormatId::Undefined) return kComponentNotFound;
    decoder = std::make_unique<Decoder>(std::move(bytes), container);
    return kOk;
}

// Files past this size are no still image the decoders could take.
constexpr long kMaxFileSize = 1L << 30;

}  // namespace

Result createFactory(std::unique_ptr<Factory>& factory) {
    factory = std::make_unique<Factory>();
    return kOk;
}

Result Factory::createDecoderFromFilename(const std::string& path, std::unique_ptr<Decoder>& decoder) const {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return resultFromSystemError(errno);
    auto bytes = std::make_shared<std::vector<uint8_t>>();
    Result result = kOk;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) != 0 || (size = std::ftell(file)) < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        result = resultFromSystemError(errno == 0 ? EIO : errno);
    } else if (size > kMaxFileSize) {
        result = kImageSizeOutOfRange;
    } else {
        try {
            bytes->resize(static_cast<size_t>(size));
            if (size > 0 && std::fread(bytes->data(), 1, bytes->size(), file) != bytes->size())
                result = resultFromSystemError(EIO);
        } catch (const std::bad_alloc&) {
            result = kOutOfMemory;
        }
    }
    std::fclose(file);
    if (failed(result)) return result;
    return makeDecoder(std::move(bytes), decoder);
}

Result Factory::createDecoderFromStream(const FileStream& stream, std::unique_ptr<Decoder>& decoder) const {
    if (stream.memory() == nullptr) return kInvalidArg;
    auto bytes = std::make_shared<std::vector<uint8_t>>(stream.memory(), stream.memory() + stream.memorySize());
    return makeDecoder(std::move(bytes), decoder);
}

Result Factory::createFormatConverter(std::unique_ptr<FormatConverter>& converter) const {
    converter = std::make_unique<FormatConverter>();
    return kOk;
}

Result Factory::createStream(std::unique_ptr<FileStream>& stream) const {
    stream = std::make_unique<FileStream>();
    return kOk;
}

Result Factory::createEncoder(FormatId container, std::unique_ptr<Encoder>& encoder) const {
    if (container != FormatId::ContainerPng && container != FormatId::ContainerJpeg) return kComponentNotFound;
    encoder = std::make_unique<Encoder>(container);
    return kOk;
}

Result Factory::createBitmapFromMemory(uint32_t width, uint32_t height, FormatId format, uint32_t stride, size_t size,
                                       const uint8_t* pixels, std::unique_ptr<MemoryBitmap>& bitmap) const {
    if (const Result r = MemoryBitmap::check(width, height, format, stride, size, pixels); failed(r)) return r;
    bitmap = std::make_unique<MemoryBitmap>(width, height, format, stride, pixels);
    return kOk;
}

}  // namespace Platform::imaging
