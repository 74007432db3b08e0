// Still-image files of every container the imaging layer reads: the header,
// then the pixels through converters to the formats the program asks for.
// The bytes are exactly as long as the input, so a read past them shows.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/imaging/Imaging.h"

namespace Img = Platform::imaging;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::unique_ptr<Img::Factory> factory = [] {
        std::unique_ptr<Img::Factory> f;
        (void)Img::createFactory(f);
        return f;
    }();
    Img::FileStream stream;
    if (Platform::failed(stream.initializeFromMemory(data, size))) return 0;
    std::unique_ptr<Img::Decoder> decoder;
    if (Platform::failed(factory->createDecoderFromStream(stream, decoder))) return 0;
    std::unique_ptr<Img::DecodedFrame> frame;
    if (Platform::failed(decoder->getFrame(0, frame))) return 0;
    uint32_t width = 0, height = 0;
    (void)frame->getSize(width, height);
    if (width == 0 || height == 0 || width > Img::kMaxImageSize || height > Img::kMaxImageSize) __builtin_trap();
    // Large frames are decoded by the tests; here they would only be slow.
    if (static_cast<uint64_t>(width) * height > (uint64_t{1} << 22)) return 0;
    for (Img::FormatId to : {Img::FormatId::Rgba32, Img::FormatId::Pbgra32}) {
        Img::FormatConverter converter;
        if (Platform::failed(converter.initialize(frame.get(), to))) __builtin_trap();
        const uint32_t stride = width * 4;
        std::vector<uint8_t> pixels(static_cast<size_t>(stride) * height);
        if (Platform::failed(converter.copyPixels(nullptr, stride, pixels.size(), pixels.data()))) return 0;
        const Img::Rect corner{static_cast<int32_t>(width / 2), static_cast<int32_t>(height / 2),
                               static_cast<int32_t>(width - width / 2), static_cast<int32_t>(height - height / 2)};
        (void)converter.copyPixels(&corner, stride, pixels.size(), pixels.data());
    }
    return 0;
}
