#include <gtest/gtest.h>

#include "media/decode/DataBuffer.h"

namespace {

// Asked for less than it holds, the buffer keeps its memory; asked for more, it grows.
TEST(DataBufferTest, GrowsOnlyAndClampsTheUsedSize) {
    System::DataBuffer buffer;
    EXPECT_EQ(buffer.data(), nullptr);
    buffer.allocMemory(100);
    ASSERT_NE(buffer.data(), nullptr);
    const uint8_t* first = buffer.data();
    buffer.allocMemory(50);
    EXPECT_EQ(buffer.data(), first);
    EXPECT_EQ(buffer.capacity(), 100u);
    buffer.setSize(150);
    EXPECT_EQ(buffer.size(), 100u);
    buffer.allocMemory(200);
    EXPECT_EQ(buffer.capacity(), 200u);
    EXPECT_EQ(buffer.size(), 0u);
    buffer.data()[199] = 1;  // the whole new capacity is usable
    buffer.release();
    EXPECT_EQ(buffer.capacity(), 0u);
    EXPECT_EQ(buffer.data(), nullptr);
}

}  // namespace
