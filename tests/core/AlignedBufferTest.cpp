#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "core/AlignedBuffer.h"

namespace {

constexpr uint32_t kFrame = 1920 * 1080 * 4;

TEST(AlignedBufferTest, LargeMemoryGivenUpServesTheNextBufferOfAboutItsSize) {
    struct Case {
        const char* name;
        uint32_t first;
        uint32_t second;
        bool reused;
    };
    const Case cases[] = {
        {"the same size", kFrame, kFrame, true},         {"a little smaller", kFrame, kFrame - kFrame / 16, true},
        {"half the size", kFrame, kFrame / 2, false},    {"larger", kFrame, kFrame + 32, false},
        {"below a megabyte", 1u << 19, 1u << 19, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint8_t* given = nullptr;
        {
            System::AlignedBuffer buffer;
            buffer.allocMemory(c.first);
            given = buffer.data();
        }
        System::AlignedBuffer next;
        next.allocMemory(c.second);
        // A block reused for a request it was not kept for would be a block too small.
        EXPECT_EQ(c.reused, next.data() == given);
        EXPECT_GE(next.capacity(), c.second);
        EXPECT_EQ(next.size(), c.second);
        EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(next.data()) % System::AlignedBuffer::kAlignment);
        std::memset(next.data(), 1, next.size());  // the whole size is usable (the sanitizer checks)
    }
}

TEST(AlignedBufferTest, NoKeptBlockGoesToTwoBuffers) {
    std::vector<std::unique_ptr<System::AlignedBuffer>> buffers;
    for (int round = 0; round < 3; ++round) {
        buffers.clear();  // gives every block up at once, more than are kept
        std::set<const uint8_t*> live;
        for (int i = 0; i < 12; ++i) {
            buffers.push_back(std::make_unique<System::AlignedBuffer>());
            buffers.back()->allocMemory(kFrame);
            EXPECT_TRUE(live.insert(buffers.back()->data()).second) << "round " << round << " buffer " << i;
        }
    }
}

}  // namespace
