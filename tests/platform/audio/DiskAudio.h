#pragma once
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// SDL's disk driver writes what the device plays to a file of raw samples
// (32-bit float, interleaved, at the device's rate). Each test gets its own
// file; the variables are set before SDL starts.
class DiskAudio {
public:
    DiskAudio() {
        char pattern[] = "/tmp/velmo-audio-XXXXXX";
        if (mkdtemp(pattern) == nullptr) ADD_FAILURE() << "mkdtemp";
        folder_ = pattern;
        file_ = folder_ / "played.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
    }
    ~DiskAudio() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
    }

    const std::filesystem::path& folder() const { return folder_; }

    // Everything played, complete once the device is closed.
    std::vector<float> played() const {
        std::ifstream in(file_, std::ios::binary);
        const std::string bytes(std::istreambuf_iterator<char>(in), {});
        std::vector<float> samples(bytes.size() / sizeof(float));
        if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
        return samples;
    }

    // The played samples without the silence before and after.
    std::vector<float> sound() const {
        std::vector<float> all = played();
        size_t first = 0;
        while (first < all.size() && all[first] == 0.0f) ++first;
        size_t last = all.size();
        while (last > first && all[last - 1] == 0.0f) --last;
        // Keep whole frames: the silence before the sound is whole frames.
        first -= first % 2;
        if ((last - first) % 2) ++last;
        return std::vector<float>(all.begin() + static_cast<long>(first), all.begin() + static_cast<long>(last));
    }

    // Polls a condition for up to a minute.
    static bool waitFor(const std::function<bool()>& condition) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

private:
    std::filesystem::path folder_;
    std::filesystem::path file_;
};
