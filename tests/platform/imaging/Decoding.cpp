#include "platform/imaging/Decoding.h"

#include <memory>

#include "platform/imaging/Imaging.h"

namespace Samples {

namespace Img = Platform::imaging;

Decoded decode(const Bytes& bytes) {
    Decoded d;
    std::unique_ptr<Img::Factory> factory;
    (void)Img::createFactory(factory);
    Img::FileStream stream;
    std::unique_ptr<Img::Decoder> decoder;
    std::unique_ptr<Img::DecodedFrame> frame;
    Img::FormatConverter converter;
    if (Platform::failed(d.result = stream.initializeFromMemory(bytes.data(), bytes.size()))) return d;
    if (Platform::failed(d.result = factory->createDecoderFromStream(stream, decoder))) return d;
    if (Platform::failed(d.result = decoder->getFrame(0, frame))) return d;
    (void)frame->getSize(d.width, d.height);
    (void)frame->getPixelFormat(d.native);
    if (Platform::failed(d.result = converter.initialize(frame.get(), Img::FormatId::Rgba32))) return d;
    d.rgba.resize(static_cast<size_t>(d.width) * d.height * 4);
    d.result = converter.copyPixels(nullptr, d.width * 4, d.rgba.size(), d.rgba.data());
    return d;
}

}  // namespace Samples
