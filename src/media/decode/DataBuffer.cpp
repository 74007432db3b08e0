#include "media/decode/DataBuffer.h"

#include <cstdlib>

#include "core/Exception.h"

namespace System {

DataBuffer::~DataBuffer() { release(); }

void DataBuffer::release() {
    std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
    size_ = 0;
}

void DataBuffer::allocMemory(size_t size) {
    if (size <= capacity_) return;
    release();
    data_ = static_cast<uint8_t*>(std::malloc(size));
    if (!data_) throw win32ErrorException("System::DataBuffer::allocMemory", 14);
    capacity_ = size;
}

}  // namespace System
