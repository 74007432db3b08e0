#pragma once
#include <memory>
#include <vector>

#include "platform/imaging/FileStream.h"
#include "platform/imaging/FormatId.h"
#include "platform/imaging/FrameEncode.h"
#include "platform/imaging/PropertyBag.h"

namespace Platform::imaging {

// Writes one PNG or JPEG image into a file stream: the frame's encoded bytes
// go to the stream on the encoder's commit, which also commits the stream.
class Encoder {
public:
    explicit Encoder(FormatId container) : container_(container) {}
    Result initialize(FileStream* stream);
    Result createNewFrame(std::unique_ptr<FrameEncode>& frame, std::unique_ptr<PropertyBag>& options);
    Result commit();

    FormatId container() const { return container_; }
    void setEncoded(std::vector<uint8_t> bytes) { encoded_ = std::move(bytes); }

private:
    FormatId container_;
    FileStream* stream_ = nullptr;
    bool frameMade_ = false;
    std::vector<uint8_t> encoded_;
};

}  // namespace Platform::imaging
