#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gpu/StagingTexture.h"
#include "platform/os/Result.h"
#include "platform/os/ThreadSafety.h"

// A frame on its way from the GPU to CPU memory: the copy is submitted and
// not waited for, so the thread that records the next frame goes on while the
// GPU works. Whoever wants the bytes waits for them, on any thread.
namespace Media {

class CpuAccessBuffer;
class ImageBuffer;

// Staging memory of read-backs, kept for the next ones of the same size and
// format. Each read-back in flight holds one of its own; it comes back here
// once its rows are copied out, so an export with a few frames in flight
// makes a few and then reuses them.
class ReadBackPool : public std::enable_shared_from_this<ReadBackPool> {
public:
    ReadBackPool() = default;
    ~ReadBackPool();
    ReadBackPool(const ReadBackPool&) = delete;
    ReadBackPool& operator=(const ReadBackPool&) = delete;

    // A spare of the size and format, or a new one; spares of another size or
    // format are dropped.
    std::unique_ptr<CpuAccessBuffer> take(uint32_t width, uint32_t height, int32_t format);
    // Any thread, once the CPU is done reading it and no copy into it is pending.
    void give(std::unique_ptr<CpuAccessBuffer> buffer);
    // How many were made since the pool was.
    size_t madeCount() const;

    // CPU images the read-backs copy into: an image comes back here when its
    // last holder drops it, so frame after frame reuses memory already paged
    // in instead of faulting in a new frame's worth of pages.
    std::shared_ptr<ImageBuffer> takeImage(int32_t format, uint32_t width, uint32_t height, uint32_t pitch);
    size_t imagesMade() const;
    static constexpr size_t kSpareImages = 4;

private:
    void keepImage(std::unique_ptr<ImageBuffer> image);

    mutable Platform::os::Mutex mutex_;
    std::vector<std::unique_ptr<CpuAccessBuffer>> spare_ GUARDED_BY(mutex_);
    size_t made_ GUARDED_BY(mutex_) = 0;
    std::vector<std::unique_ptr<ImageBuffer>> spareImages_ GUARDED_BY(mutex_);
    size_t imagesMade_ GUARDED_BY(mutex_) = 0;
};

class FrameReadBack {
public:
    // A copy submitted into the staging memory, written by the submission of the ticket.
    FrameReadBack(std::shared_ptr<ReadBackPool> pool, std::unique_ptr<CpuAccessBuffer> staging, uint64_t ticket);
    // A frame already in CPU memory.
    explicit FrameReadBack(std::shared_ptr<ImageBuffer> ready);
    ~FrameReadBack();
    FrameReadBack(const FrameReadBack&) = delete;
    FrameReadBack& operator=(const FrameReadBack&) = delete;

    // Any thread: waits for the copy and gives the frame, the same image on
    // every call; its staging memory goes back to the pool. A failed wait
    // throws, then and on later calls.
    std::shared_ptr<ImageBuffer> image();

    // The rows where they are, `pitch` bytes apart.
    struct Rows {
        const uint8_t* data = nullptr;
        uint32_t pitch = 0;
        uint32_t height = 0;
    };
    // Any thread: waits for the copy and gives its rows in the staging memory
    // itself, copying nothing; they stay valid while this read-back lives,
    // and the staging memory goes back to the pool with it. A frame already in
    // CPU memory gives its image's rows. A failed wait throws, as image() does.
    Rows rows();

private:
    // Waits for the copy once; throws on a failed wait, then and later.
    void waitLocked() REQUIRES(mutex_);

    Platform::os::Mutex mutex_;
    std::shared_ptr<ReadBackPool> pool_ GUARDED_BY(mutex_);
    std::unique_ptr<CpuAccessBuffer> staging_ GUARDED_BY(mutex_);
    uint64_t ticket_ GUARDED_BY(mutex_) = 0;
    bool waited_ GUARDED_BY(mutex_) = false;
    Platform::gpu::MappedTexture map_ GUARDED_BY(mutex_);
    std::shared_ptr<ImageBuffer> image_ GUARDED_BY(mutex_);
    Platform::Result failure_ GUARDED_BY(mutex_) = Platform::kOk;
};

}  // namespace Media
