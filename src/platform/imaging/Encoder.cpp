#include "platform/imaging/Encoder.h"

#include "platform/imaging/ImagingResult.h"

namespace Platform::imaging {

Result Encoder::initialize(FileStream* stream) {
    if (stream == nullptr || !stream->writable()) return kInvalidArg;
    if (stream_ != nullptr) return kWrongState;
    stream_ = stream;
    return kOk;
}

Result Encoder::createNewFrame(std::unique_ptr<FrameEncode>& frame, std::unique_ptr<PropertyBag>& options) {
    if (stream_ == nullptr || frameMade_) return kWrongState;
    frameMade_ = true;
    frame = std::make_unique<FrameEncode>(*this);
    options = std::make_unique<PropertyBag>(container_ == FormatId::ContainerJpeg);
    return kOk;
}

Result Encoder::commit() {
    if (stream_ == nullptr || encoded_.empty()) return kWrongState;
    if (const Result r = stream_->write(encoded_.data(), encoded_.size()); failed(r)) return r;
    return stream_->commit();
}

}  // namespace Platform::imaging
