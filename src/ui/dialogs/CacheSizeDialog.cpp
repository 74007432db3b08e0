#include "ui/dialogs/CacheSizeDialog.h"

#include <algorithm>

#include "core/SettingService.h"
#include "plugin/InputService.h"
#include "render/RenderService.h"
#include "render/cache/CacheService.h"
#include "ui/dialogs/DialogItemInteger.h"

namespace Dialog {

bool CacheSizeDialog::open() {
    Cache::CacheService* caches = Cache::CacheService::get();
    Plugin::InputService* input = Plugin::InputService::get();
    Render::RenderService* render = Render::RenderService::get();
    const Setting::SettingService* settings = Setting::SettingService::get();
    const int32_t memory = settings != nullptr ? std::max(settings->system.installedMemory, 100) : 16384;
    auto* image = addInteger(L"画像キャッシュサイズ [MB]", caches ? caches->imageCache.sizeSetting() : 768, 100, memory);
    auto* audio = addInteger(L"音声キャッシュサイズ [MB]", caches ? caches->audioCache.sizeSetting() : 64, 10, memory);
    auto* files = addInteger(L"ファイルハンドルキャッシュ数", input ? input->fileHandleMax() : 20, 5, 200);
    auto* buffer =
        addInteger(L"プレビュー再生のバッファリング時間 [ms]", render ? render->player().bufferTime : 500, 100, 30000);
    if (!create()) return false;
    if (caches != nullptr) {
        caches->imageCache.setSizeSetting(image->value);
        caches->audioCache.setSizeSetting(audio->value);
    }
    if (input != nullptr) input->setFileHandleMax(files->value);
    if (render != nullptr) render->player().bufferTime = buffer->value;
    return true;
}

}  // namespace Dialog
