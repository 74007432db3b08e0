#pragma once
// Media files made by the ffmpeg command-line tool, in the forms cameras, phones
// and other programs write, and the tool's own decode of them as references.
// Each file is made once per test program run, in one temporary folder that
// goes with the program.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

class FfmpegFiles {
public:
    static FfmpegFiles& instance() {
        static FfmpegFiles files;
        return files;
    }

    // The file `name` made by `ffmpeg -v error -y <args> <file>`; empty when ffmpeg failed.
    std::string make(const std::string& name, const std::string& args) {
        const std::string path = (dir / name).string();
        if (auto it = made.find(name); it != made.end()) return it->second;
        const bool ok = run(args + " " + quote(path));
        made[name] = ok ? path : std::string();
        return made[name];
    }

    // What ffmpeg decodes from `path`, output options `args` (such as "-f f32le"), as raw bytes.
    std::vector<uint8_t> decode(const std::string& path, const std::string& args) {
        const std::string out = (dir / ("decoded-" + std::to_string(decodes++) + ".raw")).string();
        if (!run("-i " + quote(path) + " " + args + " " + quote(out))) return {};
        std::ifstream in(out, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::filesystem::remove(out);
        return bytes;
    }

    const std::filesystem::path& folder() const { return dir; }

    FfmpegFiles(const FfmpegFiles&) = delete;
    FfmpegFiles& operator=(const FfmpegFiles&) = delete;

private:
    FfmpegFiles() {
        char pattern[] = "/tmp/velmo-ffmpeg-XXXXXX";
        if (mkdtemp(pattern) == nullptr) throw std::runtime_error("no temporary folder");
        dir = pattern;
    }
    ~FfmpegFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    static std::string quote(const std::string& s) {
        std::string q = "'";
        for (const char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    }
    // Single-threaded so that encodes come out the same on every machine.
    static bool run(const std::string& args) {
        const std::string command = "ffmpeg -nostdin -v error -y -threads 1 " + args + " </dev/null";
        return std::system(command.c_str()) == 0;
    }

    std::filesystem::path dir;
    std::map<std::string, std::string> made;
    int decodes = 0;
};
