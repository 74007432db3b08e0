#include "effects/ImageLoad.h"

#include "edit/Scene.h"
#include "plugin/InputPlugin.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <regex>
#include <unordered_set>

#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "edit/Project.h"
#include "edit/UpdateSection.h"
#include "effect/EffectService.h"
#include "effect/ModelQueries.h"
#include "effect/RenderContext.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/image/ImageBuffer.h"
#include "plugin/InputFile.h"
#include "plugin/InputService.h"

namespace Effect {
namespace {

// Prefix (folder included), the last run of digits before the extension, the extension.
const std::wregex& sequencePattern() {
    static const std::wregex pattern(L"^(.+?)([0-9]+)(\\.[^.]+)$", std::regex::ECMAScript);
    return pattern;
}

// Files that could not be shown, each logged once. A missing file is looked
// for again every frame (it may appear); a file that does not decode is not
// asked for again until an image object's file or sequence setting changes,
// since every attempt would go through the readers again.
class FailedFiles {
public:
    bool unreadable(const std::wstring& path) {
        const std::lock_guard guard(mutex_);
        return unreadable_.count(path) != 0;
    }
    void missing(const std::wstring& path) { log(path, "file not found."); }
    void notRead(const std::wstring& path) {
        {
            const std::lock_guard guard(mutex_);
            unreadable_.insert(path);
        }
        log(path, "file not read.");
    }
    void remove(const std::wstring& path) {
        const std::lock_guard guard(mutex_);
        unreadable_.erase(path);
        logged_.erase(path);
    }

private:
    void log(const std::wstring& path, const char* why) {
        {
            const std::lock_guard guard(mutex_);
            if (!logged_.insert(path).second) return;
        }
        System::Log::warn("Effect::ImageLoad::inputVideo", L"image not shown [%ls] %s", path.c_str(), why);
    }

    std::mutex mutex_;
    std::unordered_set<std::wstring> logged_;
    std::unordered_set<std::wstring> unreadable_;
};

FailedFiles& failedFiles() {
    static FailedFiles files;
    return files;
}

}  // namespace

ImageLoad::ImageLoad() {
    role = kInput;
    media = kVideo;
    placement = kVideo;
    file.notify = 1;
    sequence.notify = 1;
}

ImageLoad::~ImageLoad() = default;

std::shared_ptr<Media::ResourceBuffer> ImageLoad::inputVideo(Render::RenderContext& context) {
    if (file.path.empty() || !cacheService) return nullptr;
    const std::wstring shown = sequence.value ? getSequenceFileName(context) : file.path;
    FailedFiles& failed = failedFiles();
    if (failed.unreadable(shown)) return nullptr;
    if (!System::File::exists(shown)) {
        failed.missing(shown);
        return nullptr;
    }
    std::shared_ptr<Media::ImageBuffer> image = cacheService->imageCache.getImage(shown);
    if (!image) {
        failed.notRead(shown);
        return nullptr;
    }
    const std::lock_guard guard(uploadMutex_);
    if (image != uploadedFrom_) {
        uploaded_ = Media::ResourceBuffer::createFromImageBuffer(image);
        // Kept unchanged until the file's image changes: filters may keep what they made of it.
        if (uploaded_) uploaded_->contentStamp = Media::ResourceBuffer::newStamp();
        uploadedFrom_ = std::move(image);
    }
    return uploaded_;
}

void ImageLoad::preInputVideo(Render::RenderContext& context) {
    if (file.path.empty() || !cacheService) return;
    const std::wstring shown = sequence.value ? getSequenceFileName(context) : file.path;
    if (!failedFiles().unreadable(shown) && System::File::exists(shown)) cacheService->imageCache.preloadImage(shown);
}

std::wstring ImageLoad::getDisplayName() const {
    if (file.path.empty()) return EffectBase::getDisplayName();
    const size_t slash = file.path.find_last_of(L"/\\");
    return slash == std::wstring::npos ? file.path : file.path.substr(slash + 1);
}

bool ImageLoad::isSupportedFile(const std::wstring& path) const {
    Plugin::InputService* input = Plugin::InputService::get();
    return input && input->getInputFile(path, Plugin::InputFile::kVideo) != nullptr;
}

bool ImageLoad::itemEvent(const ItemEvent& event) {
    switch (event.kind) {
    case ItemEvent::kItemChanged:
        sequenceScanned = false;
        failedFiles().remove(file.path);
        if (event.item == &sequence) {
            if (event.scope) {
                event.scope->effectStateChanged = true;
                event.scope->effectsChanged = true;
            }
            return true;
        }
        if (isSupportedFile(file.path)) return true;
        file.path.clear();
        Edit::Project::postError(L"このファイルには対応していません");
        return false;
    case ItemEvent::kFileGiven: {
        sequenceScanned = false;
        std::wstring path = event.path;
        System::FileName::expandVariable(path);
        failedFiles().remove(path);
        file.path = std::move(path);
        return true;
    }
    case ItemEvent::kFileInformation: return showImageInformation();
    default: return false;
    }
}

std::wstring ImageLoad::imageInformation() const {
    if (file.path.empty()) return {};
    Plugin::InputService* input = Plugin::InputService::get();
    const auto opened = input ? input->getInputFile(file.path, Plugin::InputFile::kVideo) : nullptr;
    if (!opened) return file.path;
    std::wstring text = file.path + L"\nImage: " + std::to_wstring(opened->info.width) + L" x " +
                        std::to_wstring(opened->info.height) + L" \nPlugin: ";
    if (opened->plugin) text += opened->plugin->name;
    return text;
}

bool ImageLoad::showImageInformation() const {
    if (file.path.empty()) return false;
    Edit::Scene::showInfoTip(imageInformation());
    return true;
}

void ImageLoad::scanSequence() {
    sequenceScanned = true;
    firstNumber = lastNumber = 0;
    sequenceFiles.clear();
    if (!sequence.value) return;
    const std::wregex& pattern = sequencePattern();
    std::wsmatch chosen;
    if (!std::regex_match(file.path, chosen, pattern)) return;
    try {
        sequencePrefix = chosen[1].str();
        sequenceExtension = chosen[3].str();
        firstNumber = lastNumber = std::stoi(chosen[2].str());
        std::wstring listed = sequencePrefix + L"*" + sequenceExtension;
        System::FileName::expandVariable(listed);
        for (const System::File::FileEntry& entry : System::findFilesByPattern(listed)) {
            std::wsmatch m;
            // Only names of this sequence: the same prefix and extension
            // around the digits, so that the name put together later exists.
            if (!std::regex_match(entry.name, m, pattern) || m[1].str() != sequencePrefix ||
                m[3].str() != sequenceExtension)
                continue;
            const int32_t n = std::stoi(m[2].str());
            if (n < firstNumber) continue;
            lastNumber = std::max(lastNumber, n);
            sequenceFiles.emplace(n, m[2].str());
        }
    } catch (const std::exception& e) {
        System::Log::warn("Effect::ImageLoad::scanSequence", "%s", e.what());
        firstNumber = lastNumber = 0;
        sequenceFiles.clear();
    }
}

std::wstring ImageLoad::sequenceFileFor(int64_t a) {
    const std::lock_guard guard(sequenceMutex_);
    if (!sequenceScanned) scanSequence();
    if (sequenceFiles.empty()) return file.path;
    const int64_t from = a > lastNumber ? lastNumber : std::max<int64_t>(a, firstNumber);
    for (int64_t i = from; i >= firstNumber; --i)
        if (const auto found = sequenceFiles.find(static_cast<int32_t>(i)); found != sequenceFiles.end())
            return sequencePrefix + found->second + sequenceExtension;
    return file.path;
}

std::wstring ImageLoad::getSequenceFileName(Render::RenderContext& context) {
    int64_t a;
    if (frameNumber.movement == EffectService::noMove() && !frameNumber.values.empty() &&
        frameNumber.values.front() == 0 && context.object)
        a = static_cast<int64_t>(context.frame) - modelQueries().objectStart(*context.object);
    else
        a = std::llround(frameNumber.getValue(context));
    return sequenceFileFor(a);
}

}  // namespace Effect
