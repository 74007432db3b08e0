#pragma once
// The raw files of the example plug-ins (data/RawFormat.h): made with known
// pictures and sound, and read back as the plug-ins' readers see them.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "RawFormat.h"

struct RawMedia {
    RawHeader header{};
    std::vector<uint8_t> frames;   // every frame, bottom-up bitmaps
    std::vector<int16_t> samples;  // interleaved

    // Frame f's pixel (x, y from the top) as blue, green, red.
    static void pixel(uint32_t x, uint32_t y, uint32_t f, uint8_t bgr[3]) {
        bgr[0] = static_cast<uint8_t>(x * 23 + f * 40);
        bgr[1] = static_cast<uint8_t>(y * 31 + 7);
        bgr[2] = static_cast<uint8_t>(200 - f * 60 + x);
    }
    static int16_t sample(uint32_t i, uint32_t channel) {
        return static_cast<int16_t>(static_cast<int32_t>((i * 37 + channel * 5000) % 30000) - 15000);
    }

    static RawMedia make(uint32_t width, uint32_t height, uint32_t bitCount, uint32_t frameCount, uint32_t sampleRate,
                         uint32_t sampleCount) {
        RawMedia m;
        std::memcpy(m.header.magic, "VRAW", 4);
        m.header.width = width;
        m.header.height = height;
        m.header.bitCount = bitCount;
        m.header.frameCount = frameCount;
        m.header.rate = 30;
        m.header.scale = 1;
        m.header.sampleRate = sampleRate;
        m.header.channels = sampleCount > 0 ? 2 : 0;
        m.header.samples = sampleCount;
        const uint32_t row = rawRowSize(&m.header), size = rawFrameSize(&m.header), bytes = bitCount / 8;
        m.frames.assign(size_t{size} * frameCount, 0);
        for (uint32_t f = 0; f < frameCount; ++f)
            for (uint32_t y = 0; y < height; ++y)
                for (uint32_t x = 0; x < width; ++x) {
                    uint8_t* p = &m.frames[size_t{f} * size + size_t{height - 1 - y} * row + x * bytes];
                    pixel(x, y, f, p);
                    if (bytes == 4) p[3] = 255;
                }
        for (uint32_t i = 0; i < sampleCount; ++i) {
            m.samples.push_back(sample(i, 0));
            m.samples.push_back(sample(i, 1));
        }
        return m;
    }

    std::string bytes() const {
        std::string out(reinterpret_cast<const char*>(&header), sizeof header);
        out.append(reinterpret_cast<const char*>(frames.data()), frames.size());
        out.append(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
        return out;
    }
    void write(const std::filesystem::path& path) const { std::ofstream(path, std::ios::binary) << bytes(); }

    static RawMedia read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        const std::string all((std::istreambuf_iterator<char>(in)), {});
        RawMedia m;
        if (all.size() < sizeof m.header) return m;
        std::memcpy(&m.header, all.data(), sizeof m.header);
        const size_t frameBytes = size_t{rawFrameSize(&m.header)} * m.header.frameCount;
        if (all.size() < sizeof m.header + frameBytes) return m;
        m.frames.assign(all.begin() + sizeof m.header, all.begin() + static_cast<long>(sizeof m.header + frameBytes));
        const std::string rest = all.substr(sizeof m.header + frameBytes);
        m.samples.resize(rest.size() / 2);
        std::memcpy(m.samples.data(), rest.data(), m.samples.size() * 2);
        return m;
    }

    // Frame f's pixel (x, y from the top) in the file: blue, green, red.
    const uint8_t* at(uint32_t x, uint32_t y, uint32_t f) const {
        return &frames[size_t{f} * rawFrameSize(&header) + size_t{header.height - 1 - y} * rawRowSize(&header) +
                       x * (header.bitCount / 8)];
    }
};
