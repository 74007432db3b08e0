// The memory of a 1920x1080 BGRX frame: a new buffer filled and given up once
// per frame, as decoded and read-back frames are (blocks of a megabyte and
// more are kept for the next buffer of their size), beside the reference, one
// fill of a buffer kept for good, and beside fresh memory from the system
// every time (what each frame cost before blocks were kept).
#include <benchmark/benchmark.h>

#include <sys/mman.h>

#include <cstring>

#include "core/AlignedBuffer.h"

namespace {

constexpr uint32_t kBytes = 1920 * 1080 * 4;

void NewBufferPerFrame(benchmark::State& state) {
    for (auto _ : state) {
        System::AlignedBuffer frame;
        frame.allocMemory(kBytes);
        std::memset(frame.data(), 0x80, kBytes);
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBytes);
}
BENCHMARK(NewBufferPerFrame)->Unit(benchmark::kMicrosecond);

void FillOfAKeptBuffer(benchmark::State& state) {
    System::AlignedBuffer frame;
    frame.allocMemory(kBytes);
    for (auto _ : state) {
        std::memset(frame.data(), 0x80, kBytes);
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBytes);
}
BENCHMARK(FillOfAKeptBuffer)->Unit(benchmark::kMicrosecond);

void FreshPagesPerFrame(benchmark::State& state) {
    for (auto _ : state) {
        void* frame = mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (frame == MAP_FAILED) {
            state.SkipWithError("no memory");
            break;
        }
        std::memset(frame, 0x80, kBytes);
        benchmark::DoNotOptimize(frame);
        munmap(frame, kBytes);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBytes);
}
BENCHMARK(FreshPagesPerFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
