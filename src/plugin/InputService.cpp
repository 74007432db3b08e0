#include "plugin/InputService.h"

#include <algorithm>
#include <stdexcept>
#include <typeinfo>

#include "core/ErrorPresenter.h"
#include "core/Exception.h"
#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "plugin/ExternalInputPlugin.h"
#include "plugin/ImageFileReader.h"
#include "plugin/InputFile.h"
#include "plugin/InputPipe32.h"
#include "plugin/InputPlugin.h"
#include "plugin/MediaFileReader.h"
#include "plugin/avi/AviFileReader.h"
#include "render/cache/CacheKey.h"

namespace Plugin {
namespace {

// A file that opened but has no stream of the kind asked for.
struct StreamMissing : std::runtime_error {
    explicit StreamMissing(const std::runtime_error& error) : std::runtime_error(error) {}
};

// A failed registration goes to the program's error presenter; before one
// is installed it is logged.
void errorPresenter(const std::wstring& text) {
    if (!System::presentErrorIfInstalled(text)) System::Log::error("Plugin::InputService", L"%ls", text.c_str());
}

std::wstring buildFileFilter(const wchar_t* title, const InputService::ExtTable& table) {
    std::wstring patterns;
    for (const auto& [ext, list] : table) {
        if (!patterns.empty()) patterns += L';';
        patterns += L"*." + ext;
    }
    std::wstring text = title;
    text += L" (" + patterns + L")";
    text.push_back(L'\0');
    text += patterns;
    text.push_back(L'\0');
    return text;
}

}  // namespace

size_t InputService::FileKeyHash::operator()(const FileKey& key) const {
    return Cache::CacheKeyHash::hashPath(key.path) ^ static_cast<size_t>(key.type);
}

InputService::InputService() : binding_(group_, Setting::SettingService::mainSettings()) {
    if (System::IniFile* settings = Setting::SettingService::mainSettings())
        group_.load(*settings);
    else
        for (System::Config::Parameter* parameter : group_.parameters()) parameter->reset();
    setFileHandleMax(fileHandleMax_);
    registerPlugin<ImageFileReader>();
    registerPlugin<AviFileReader>();
    registerPlugin<MediaFileReader>();
    registerPluginFolder();
    updateExtTypeList();
}

void InputService::registerPluginFolder() {
    std::vector<System::File::FileEntry> libraries, older;
    try {
        // Libraries by their full paths; older plug-ins by their bare names, which their hosts look up.
        libraries = System::findFilesByPattern(System::FileName::getExpandedPath(L"%Plugin%/*.vin2"));
        older = System::File::getFileList(System::FileName::getExpandedPath(L"%Plugin%/*.vin"));
    } catch (const std::exception&) {
        // Logged where it was built; the built-in readers stay.
    }
    for (const System::File::FileEntry& entry : libraries)
        registerPlugin(typeid(ExternalInputPlugin).name(),
                       [&] { return std::make_shared<ExternalInputPlugin>(entry.name); });
    for (const System::File::FileEntry& entry : older)
        registerPlugin(typeid(InputPipe32).name(), [&] { return std::make_shared<InputPipe32>(entry.name); });
}

InputService::~InputService() {
    // Files hold a raw pointer to their plug-in: they go first.
    clearFileCache();
}

InputPlugin* InputService::registerPlugin(const char* typeName, const PluginFactory& create) {
    InputPlugin* added = nullptr;
    try {
        std::shared_ptr<InputPlugin> plugin = create();
        if (!plugin) throw System::messageException("Plugin::InputService::registerPlugin", "no plugin.");
        System::Log::info("Plugin::InputService::registerPlugin", L"register input plugin [%ls]", plugin->name.c_str());
        plugins_.push_back(plugin);
        added = plugin.get();
        plugin->initSetting(counter_++);
    } catch (const std::exception& e) {
        std::wstring text = L"failed to register input plugin. [" + System::utf8ToWide(typeName) + L"]\n\n" +
                            System::utf8ToWide(e.what());
        errorPresenter(text);
    }
    return added;
}

void InputService::updateExtTypeList() {
    // Opens read the tables under the same mutex: the plug-in dialog may
    // rebuild them while a render thread opens a file.
    std::lock_guard lock(fileMutex_);
    video_.clear();
    audio_.clear();
    image_.clear();
    std::sort(plugins_.begin(), plugins_.end(),
              [](const auto& a, const auto& b) { return a->priority() < b->priority(); });
    constexpr const char* kScope = "Plugin::InputService::updateExtTypeList";
    for (const auto& plugin : plugins_) {
        for (const std::wstring& ext : plugin->getExtList()) {
            if (plugin->flags & InputPlugin::kVideo) {
                video_[ext].push_back(plugin);
                System::Log::info(kScope, L"[Video] %ls -> [%ls]", ext.c_str(), plugin->name.c_str());
            }
            if (plugin->flags & InputPlugin::kAudio) {
                audio_[ext].push_back(plugin);
                System::Log::info(kScope, L"[Audio] %ls -> [%ls]", ext.c_str(), plugin->name.c_str());
            }
            if (plugin->flags & InputPlugin::kImage) {
                image_[ext].push_back(plugin);
                System::Log::info(kScope, L"[Image] %ls -> [%ls]", ext.c_str(), plugin->name.c_str());
            }
        }
    }
    videoFilter_ = buildFileFilter(L"VideoFile", video_);
    audioFilter_ = buildFileFilter(L"AudioFile", audio_);
    imageFilter_ = buildFileFilter(L"ImageFile", image_);
}

std::shared_ptr<InputFile> InputService::getInputFile(const std::wstring& path, int32_t type) {
    if (path.empty()) return nullptr;
    try {
        std::shared_ptr<InputFile> file = findOrOpenFile(path, type);
        if (!file) return nullptr;
        if (type == InputFile::kVideo && (file->info.flags & InputFile::kVideo)) return file;
        if (type == InputFile::kAudio && (file->info.flags & InputFile::kAudio)) return file;
        return nullptr;
    } catch (const StreamMissing&) {
        // Read, but without the stream asked for: nothing to report.
        return nullptr;
    } catch (const std::exception&) {
        // The exception's builder has logged the reason.
        reportUnreadable(path);
        return nullptr;
    }
}

void InputService::reportUnreadable(const std::wstring& path) {
    std::lock_guard lock(unreadableMutex_);
    if (unreadableLogged_.insert(path).second)
        System::Log::warn("Plugin::InputService::reportUnreadable", L"media file can not be read [%ls]", path.c_str());
    if (std::find(unreadable_.begin(), unreadable_.end(), path) == unreadable_.end()) unreadable_.push_back(path);
}

std::vector<std::wstring> InputService::takeUnreadable() {
    std::lock_guard lock(unreadableMutex_);
    std::vector<std::wstring> taken = std::move(unreadable_);
    unreadable_.clear();
    std::sort(taken.begin(), taken.end());
    return taken;
}

std::shared_ptr<InputFile> InputService::getVideoOrAudioFile(const std::wstring& path) {
    if (auto file = getInputFile(path, InputFile::kVideo)) return file;
    return getInputFile(path, InputFile::kAudio);
}

std::shared_ptr<InputFile> InputService::findOrOpenFile(const std::wstring& path, int32_t type) {
    std::lock_guard lock(fileMutex_);
    // By path and by what was asked: a file opened for its audio may lack the
    // video another plug-in would give, and the other way round.
    const FileKey key{path, type};
    if (auto it = fileMap_.find(key); it != fileMap_.end()) {
        files_.splice(files_.begin(), files_, it->second);
        return it->second->file;
    }
    if (lacking_.contains(key)) return nullptr;
    std::shared_ptr<InputFile> file;
    try {
        file = openFile(path, type);
    } catch (const StreamMissing&) {
        lacking_.insert(key);
        throw;
    }
    if (file->info.frameCount > 1 || (file->info.flags & InputFile::kAudio)) putFile(key, file);
    return file;
}

void InputService::putFile(const FileKey& key, std::shared_ptr<InputFile> file) {
    if (auto it = fileMap_.find(key); it != fileMap_.end()) {
        fileTotal_ -= it->second->count;
        files_.erase(it->second);
        fileMap_.erase(it);
    }
    files_.push_front(FileEntry{1, std::move(file), key});
    fileMap_[key] = files_.begin();
    fileTotal_ += 1;
    trimFileCache();
}

void InputService::trimFileCache() {
    while (fileTotal_ > fileLimit_ && !files_.empty()) {
        FileEntry& last = files_.back();
        fileTotal_ -= last.count;
        fileMap_.erase(last.key);
        files_.pop_back();
    }
}

std::shared_ptr<InputFile> InputService::openFile(const std::wstring& path, int32_t type) {
    constexpr const char* kScope = "Plugin::InputService::openFile";
    System::Log::info(kScope, L"open media file [%ls]", path.c_str());
    const std::string note = System::wideToUtf8(path);
    const std::wstring ext = System::FileName::getExtension(path.c_str());
    const ExtTable& table = type == InputFile::kVideo ? video_ : audio_;
    const auto found = table.find(ext);
    if (found == table.end()) throw System::messageException(kScope, "not supported file.", note.c_str());
    // The first reader that gives the stream asked for; a reader that opens
    // the file without it (an AVI whose video it cannot decode) hands the
    // file on to the next one, and is kept only when none does better.
    const int32_t wanted = type == InputFile::kVideo ? InputFile::kVideo : InputFile::kAudio;
    std::shared_ptr<InputFile> file;
    for (const auto& plugin : found->second) {
        std::shared_ptr<InputFile> opened = plugin->open(path);
        if (!opened) continue;
        opened->plugin = plugin.get();
        const bool complete = (opened->info.flags & wanted) != 0;
        if (!file || complete) file = std::move(opened);
        if (complete) break;
    }
    if (!file) throw System::messageException(kScope, "can not open file.", note.c_str());
    if (type == InputFile::kVideo && !(file->info.flags & InputFile::kVideo))
        throw StreamMissing(System::messageException(kScope, "file is no video.", note.c_str()));
    if (type != InputFile::kVideo && !(file->info.flags & InputFile::kAudio))
        throw StreamMissing(System::messageException(kScope, "file is no audio.", note.c_str()));
    return file;
}

void InputService::clearFileCache() {
    std::lock_guard lock(fileMutex_);
    files_.clear();
    fileMap_.clear();
    lacking_.clear();
    fileTotal_ = 0;
}

void InputService::setFileHandleMax(int32_t count) {
    std::lock_guard lock(fileMutex_);
    fileHandleMax_ = count;
    fileLimit_ = static_cast<uint64_t>(std::max(count, 0));
    trimFileCache();
}

size_t InputService::openFileCount() const {
    std::lock_guard lock(fileMutex_);
    return files_.size();
}

}  // namespace Plugin
