#include "ui/panels/timeline/ObjectAliasSave.h"

#include <exception>
#include <shared_mutex>

#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/LayerObjectManager.h"
#include "edit/Object.h"
#include "effect/EffectService.h"

namespace Component {

bool isAliasName(const std::wstring& name) {
    return !name.empty() && name.find_first_of(L"\\/:*?\"'<>|%=,.") == std::wstring::npos;
}

bool saveObjectAlias(const std::shared_ptr<Edit::Object>& object, bool withFrames) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (!object || edit == nullptr) return false;
    Edit::EditDialogs& dialogs = Edit::EditService::dialogs();
    const std::wstring title = std::wstring(L"エイリアスを作成 - ") + (withFrames ? L"オブジェクト" : L"全体");
    std::wstring name;
    std::wstring path;
    for (;;) {
        if (!dialogs.inputName(title, name)) return false;
        if (!isAliasName(name)) continue;
        path = std::wstring(L"%Alias%") + System::kPathSeparator + name + L".object";
        System::FileName::expandVariable(path);
        if (!System::File::exists(path) || dialogs.askOkCancel(L"同名のエイリアスが存在しています\n上書きしますか？"))
            break;
    }
    System::Log::info("System::IniFile::Save::Save", "saveFile : %s", System::wideToUtf8(path).c_str());
    try {
        std::shared_lock lock(edit->lock());
        System::File file;
        file.open(path, System::File::kWrite);
        Edit::LayerObjectManager::saveObjectAliasFile(file, *object, withFrames);
        file.close();
    } catch (const std::exception&) {
        dialogs.showError(L"エイリアスの保存に失敗しました");
    }
    if (Effect::EffectService* effects = Effect::EffectService::get()) {
        effects->reloadAliases();
        effects->updateAlias(name, L"");
    }
    return true;
}

}  // namespace Component
