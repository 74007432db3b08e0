#pragma once
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <typeinfo>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/ServiceHolder.h"

// The registry of input plug-ins and the one door through which media files
// open: per-extension lists of the plug-ins that read video, audio and still
// images in priority order, the file-dialog filters built from them, and a
// least-recently-used cache of open files bounded by "FileHandleMax".
namespace Plugin {

class InputPlugin;
class InputFile;

class InputService {
public:
    using PluginList = std::vector<std::shared_ptr<InputPlugin>>;
    using ExtTable = std::unordered_map<std::wstring, PluginList>;
    using PluginFactory = std::function<std::shared_ptr<InputPlugin>()>;

    InputService();
    ~InputService();
    InputService(const InputService&) = delete;
    InputService& operator=(const InputService&) = delete;

    static InputService* get() { return System::ServiceSlot<InputService>::instance; }

    // Creates one plug-in and appends it with the next default priority. Every
    // kind comes in here: the built-in readers, and the readers of plug-in
    // files, whose factories load their library or start their host. A
    // failure is shown and the plug-in left out; typeName names its class.
    InputPlugin* registerPlugin(const char* typeName, const PluginFactory& create);
    template <class T>
    InputPlugin* registerPlugin() {
        return registerPlugin(typeid(T).name(), [] { return std::make_shared<T>(); });
    }

    // Sorts the plug-ins by priority and rebuilds the tables and filters.
    void updateExtTypeList();

    // type 1 video, 2 audio. Empty on any failure; the reason is in the log.
    std::shared_ptr<InputFile> getInputFile(const std::wstring& path, int32_t type);
    std::shared_ptr<InputFile> getVideoOrAudioFile(const std::wstring& path);
    // Throws "not supported file.", "can not open file.", "file is no video." or "file is no audio.".
    std::shared_ptr<InputFile> openFile(const std::wstring& path, int32_t type);

    void clearFileCache();

    // A file whose media could not be read (missing, not media, no index, or
    // cut off before a frame it lists): logged once per path at WARN, and
    // kept for the end of the running export, which reports it.
    void reportUnreadable(const std::wstring& path);
    // The paths reported since the last call, sorted; the list starts empty again.
    std::vector<std::wstring> takeUnreadable();
    // Applies "FileHandleMax" (5 to 200 from the cache dialog) and evicts down to it.
    void setFileHandleMax(int32_t count);
    int32_t fileHandleMax() const { return fileHandleMax_; }
    size_t openFileCount() const;

    const PluginList& plugins() const { return plugins_; }
    const ExtTable& videoTable() const { return video_; }
    const ExtTable& audioTable() const { return audio_; }
    const ExtTable& imageTable() const { return image_; }
    // "VideoFile (*.mp4;...)", NUL, the patterns, NUL (the last NUL is part of the text).
    const std::wstring& videoFilter() const { return videoFilter_; }
    const std::wstring& audioFilter() const { return audioFilter_; }
    const std::wstring& imageFilter() const { return imageFilter_; }

private:
    struct FileKey {
        std::wstring path;
        int32_t type = 0;
        bool operator==(const FileKey& other) const { return type == other.type && path == other.path; }
    };
    struct FileKeyHash {
        size_t operator()(const FileKey& key) const;
    };
    struct FileEntry {
        uint64_t count = 1;
        std::shared_ptr<InputFile> file;
        FileKey key;
    };

    // The plug-in folder's "*.vin2" libraries, then its older "*.vin" plug-ins.
    void registerPluginFolder();
    std::shared_ptr<InputFile> findOrOpenFile(const std::wstring& path, int32_t type);
    void putFile(const FileKey& key, std::shared_ptr<InputFile> file);
    void trimFileCache();  // under fileMutex_

    System::Config::ParameterGroup group_{"Input"};
    int32_t fileHandleMax_ = 20;
    System::Config::Int fileHandleMaxParameter_{group_, "FileHandleMax", &fileHandleMax_, 20};
    System::Config::ParameterBinding binding_;
    int32_t counter_ = 0;
    PluginList plugins_;
    ExtTable video_, audio_, image_;
    std::wstring videoFilter_, audioFilter_, imageFilter_;

    mutable std::mutex fileMutex_;  // held across a whole open and while the tables are rebuilt
    std::list<FileEntry> files_;
    std::unordered_map<FileKey, std::list<FileEntry>::iterator, FileKeyHash> fileMap_;
    // Files that opened but lack the stream asked for (a movie without sound
    // asked for its audio every frame): known once, not opened again until
    // the cache is cleared.
    std::unordered_set<FileKey, FileKeyHash> lacking_;
    mutable std::mutex unreadableMutex_;
    std::unordered_set<std::wstring> unreadableLogged_;
    std::vector<std::wstring> unreadable_;
    uint64_t fileLimit_ = 20;
    uint64_t fileTotal_ = 0;
};

}  // namespace Plugin
