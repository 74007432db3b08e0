#pragma once
#include <mutex>
#include <string>
#include <unordered_map>

#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemNumber.h"
#include "render/cache/CacheService.h"

namespace Media {
class ImageBuffer;
}

namespace Effect {

// A still image file, or one picture of a numbered image sequence: the
// chosen name split into prefix, digits and extension, and the folder's
// other numbers shown by "表示番号" (or by the frames since the start).
class ImageLoad : public EffectClass<ImageLoad>, public Cache::CacheInstance {
public:
    static constexpr const wchar_t* kName = L"画像ファイル";

    EffectItemFile file{&items, L"ファイル"};
    EffectItemNumber frameNumber{&items, L"表示番号", 0, 0, 10000, 1};
    EffectItemCheck sequence{&items, L"連番ファイル"};

    ImageLoad();
    ~ImageLoad() override;

    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext& context) override;
    void preInputVideo(Render::RenderContext& context) override;
    std::wstring getDisplayName() const override;
    bool itemEvent(const ItemEvent& event) override;
    // The path, the image's size and the plug-in that reads it; the path
    // alone for a file no plug-in opens, nothing without a path.
    std::wstring imageInformation() const;
    bool showImageInformation() const;
    bool isSupportedFile(const std::wstring& path) const override;

    // Lists the folder for the other numbers of the chosen name (the callers
    // below hold the sequence lock).
    void scanSequence();
    // The file shown at the context: a sequence member, or the path itself.
    std::wstring getSequenceFileName(Render::RenderContext& context);
    // The file shown for display number a (the scan made when needed).
    std::wstring sequenceFileFor(int64_t a);

    // Sequence state, never saved; rebuilt after every item event.
    bool sequenceScanned = false;
    int32_t firstNumber = 0;
    int32_t lastNumber = 0;
    std::wstring sequencePrefix;
    std::wstring sequenceExtension;
    std::unordered_map<int32_t, std::wstring> sequenceFiles;

private:
    // The preview and the export may render the object at once.
    std::mutex sequenceMutex_;
    // The last upload: while the cache hands out the same decoded image the
    // GPU copy is handed out again instead of a new upload.
    std::mutex uploadMutex_;
    std::shared_ptr<Media::ImageBuffer> uploadedFrom_;
    std::shared_ptr<Media::ResourceBuffer> uploaded_;
};

}  // namespace Effect
