#pragma once
#include <memory>
#include <vector>

#include "platform/imaging/DecodedFrame.h"
#include "platform/imaging/FormatId.h"

namespace Platform::imaging {

// A still-image file held in memory, its container told by its first bytes.
class Decoder {
public:
    Decoder(std::shared_ptr<const std::vector<uint8_t>> data, FormatId container);
    FormatId container() const { return container_; }
    // Only frame 0 exists. Reads the header: an unreadable header, an empty
    // image or an edge above the largest size fails here.
    Result getFrame(uint32_t index, std::unique_ptr<DecodedFrame>& frame) const;

private:
    std::shared_ptr<const std::vector<uint8_t>> data_;
    FormatId container_;
};

}  // namespace Platform::imaging
