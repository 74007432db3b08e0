#pragma once
#include <memory>
#include <string>

#include "platform/imaging/Decoder.h"
#include "platform/imaging/Encoder.h"
#include "platform/imaging/FileStream.h"
#include "platform/imaging/FormatConverter.h"
#include "platform/imaging/MemoryBitmap.h"

namespace Platform::imaging {

// Makes the layer's decoders, encoders, converters, streams and bitmaps. It
// holds nothing, so one factory serves every thread.
class Factory {
public:
    // Reads the whole file; a container none of the decoders knows fails with
    // kComponentNotFound, a missing file with its system error.
    Result createDecoderFromFilename(const std::string& path, std::unique_ptr<Decoder>& decoder) const;
    // The stream must have been initialised from memory; the bytes are copied.
    Result createDecoderFromStream(const FileStream& stream, std::unique_ptr<Decoder>& decoder) const;
    Result createFormatConverter(std::unique_ptr<FormatConverter>& converter) const;
    Result createStream(std::unique_ptr<FileStream>& stream) const;
    // PNG and JPEG only.
    Result createEncoder(FormatId container, std::unique_ptr<Encoder>& encoder) const;
    Result createBitmapFromMemory(uint32_t width, uint32_t height, FormatId format, uint32_t stride, size_t size,
                                  const uint8_t* pixels, std::unique_ptr<MemoryBitmap>& bitmap) const;
};

// Creating the factory always succeeds: nothing has to be started.
Result createFactory(std::unique_ptr<Factory>& factory);

}  // namespace Platform::imaging
