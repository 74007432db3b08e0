#pragma once
// Media files made by the ffmpeg command-line tool for the reader tests, once
// per test program, in a temporary folder removed at exit.
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

class GeneratedMedia {
public:
    static GeneratedMedia& instance() {
        static GeneratedMedia media;
        return media;
    }
    // The file `name` made by `ffmpeg <args> <file>`; "" when the tool failed.
    std::string make(const std::string& name, const std::string& args) {
        if (auto it = made_.find(name); it != made_.end()) return it->second;
        const std::string path = (folder_ / name).string();
        const std::string command = "ffmpeg -nostdin -v error -y -threads 1 " + args + " '" + path + "' </dev/null";
        made_[name] = std::system(command.c_str()) == 0 ? path : std::string();
        return made_[name];
    }
    const std::filesystem::path& folder() const { return folder_; }

private:
    GeneratedMedia() {
        char pattern[] = "/tmp/velmo-input-XXXXXX";
        if (mkdtemp(pattern) == nullptr) throw std::runtime_error("no temporary folder");
        folder_ = pattern;
    }
    ~GeneratedMedia() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::filesystem::path folder_;
    std::map<std::string, std::string> made_;
};
