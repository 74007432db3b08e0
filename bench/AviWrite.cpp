// The AVI writer's frame path at 1920x1080: a frame's conversion to the
// file's bottom-up rows for each video type against a memcpy of the same
// bytes, and whole frames with their sound written through the writer into a
// file on the temporary folder, against plain writes of the same bytes. The
// writer commits its file, which waits until the disk holds it: so does the
// reference, with one fsync at its end.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/AlignedBuffer.h"
#include "core/TextConvert.h"
#include "media/audio/RawAudioBuffer.h"
#include "media/image/ImageBuffer.h"
#include "plugin/ExportSource.h"
#include "plugin/avi/AviFileSaveFile.h"

namespace {

constexpr uint32_t kWidth = 1920, kHeight = 1080;

std::shared_ptr<Media::ImageBuffer> testFrame(int32_t format) {
    auto image = Media::ImageBuffer::make(format, kWidth, kHeight);
    for (uint32_t i = 0; i < image->usedSize(); ++i) image->data()[i] = static_cast<uint8_t>(i * 13);
    return image;
}

// The file's rows from a frame: 24-bit B, G, R and 32-bit rows bottom-up, YUY2 and 64-bit top-down.
void FrameToFileRows(benchmark::State& state) {
    const auto format = static_cast<int32_t>(state.range(0));
    const auto image = testFrame(format);
    Media::BitmapInfoHeader header{};
    Media::ImageBuffer::getBitmapInfoHeader(format, kWidth, kHeight, header);
    System::AlignedBuffer out;
    out.allocMemory(header.biSizeImage);
    for (auto _ : state) {
        image->copyToBitmap(header, out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * header.biSizeImage);
}
BENCHMARK(FrameToFileRows)->Arg(88)->Arg(87)->Arg(107)->Arg(11)->Unit(benchmark::kMicrosecond);

// The floor: copying as many bytes as the 24-bit rows hold.
void MemcpyOfTheSameBytes(benchmark::State& state) {
    const uint32_t bytes = kWidth * 3 * kHeight;
    System::AlignedBuffer from, to;
    from.allocMemory(bytes);
    to.allocMemory(bytes);
    std::memset(from.data(), 1, bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}
BENCHMARK(MemcpyOfTheSameBytes)->Unit(benchmark::kMicrosecond);

class Source : public Plugin::ExportSource {
public:
    std::shared_ptr<Media::ImageBuffer> renderVideo(int32_t, int32_t format, bool) override {
        if (!frame || frame->format != format) frame = testFrame(format);
        return frame;
    }
    std::shared_ptr<Media::RawAudioBuffer> renderAudio(int32_t frame, int32_t) override {
        auto block = std::make_shared<Media::RawAudioBuffer>();
        const auto first = [](int64_t f) { return std::llround(48000.0 * f / 30); };
        block->formatTag = 1;
        block->bitsPerSample = 16;
        block->channels = 2;
        block->blockAlign = 4;
        block->sampleCount = static_cast<int32_t>(first(frame + 1) - first(frame));
        block->data.allocMemory(static_cast<uint32_t>(block->sampleCount) * 4);
        std::memset(block->data.data(), 0, block->data.size());
        return block;
    }
    std::shared_ptr<Media::ImageBuffer> frame;
};

std::string benchFile() {
    return (std::filesystem::temp_directory_path() / ("velmo-bench-" + std::to_string(getpid()) + ".avi")).string();
}

// range(0) frames of RGB24bit/PCM16bit through the writer, headers and indexes included.
void WriteFrames(benchmark::State& state) {
    const std::string path = benchFile();
    const auto frames = static_cast<int32_t>(state.range(0));
    Plugin::ExportScene scene;
    scene.lastFrame = frames - 1;
    Source source;
    for (auto _ : state) {
        Plugin::AviFileSaveFile job(System::utf8ToWide(path), scene, &source, L"RGB24bit", L"PCM16bit");
        benchmark::DoNotOptimize(job.save());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * frames * (kWidth * 3 * kHeight + 6400));
    std::filesystem::remove(path);
}
BENCHMARK(WriteFrames)->Arg(30)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reference: the same bytes, a frame's and its sound's per write, into a
// new file flushed to the disk once at its end.
void PlainWritesThenSync(benchmark::State& state) {
    const std::string path = benchFile();
    const auto frames = static_cast<int32_t>(state.range(0));
    const std::vector<uint8_t> bytes(kWidth * 3 * kHeight + 6400, 7);
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        for (int32_t i = 0; i < frames; ++i)
            if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) state.SkipWithError("write");
        ::fsync(fd);
        ::close(fd);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * frames * static_cast<int64_t>(bytes.size()));
    std::filesystem::remove(path);
}
BENCHMARK(PlainWritesThenSync)->Arg(30)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
