#include "ui/panels/timeline/ObjectAliasSave.h"

#include <exception>
#include <functional>
#include <shared_mutex>

#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/LayerObjectManager.h"
#include "edit/Object.h"
#include "effect/EffectBase.h"
#include "effect/EffectService.h"

namespace Component {

namespace {

std::wstring dialogText(const wchar_t* text) {
    if (!Translate::TranslateService::isActive()) return text;
    return Translate::translated(Translate::TranslateService::Table::Dialog, text);
}

// Asks for a name and label until the file may be written (an existing alias
// only when the user agrees to replace it), writes it, and lists the aliases
// again with the new one under its label.
bool saveAlias(const std::wstring& captionSuffix, const wchar_t* kind,
               const std::function<void(System::File& file)>& write) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr) return false;
    Edit::EditDialogs& dialogs = Edit::EditService::dialogs();
    std::wstring name;
    std::wstring label;
    std::wstring path;
    for (;;) {
        if (!dialogs.aliasDialog(captionSuffix, name, label)) return false;
        if (!isAliasName(name)) continue;
        path = std::wstring(L"%Alias%") + System::kPathSeparator + name + L"." + kind;
        System::FileName::expandVariable(path);
        if (!System::File::exists(path) || dialogs.askOkCancel(L"同名のエイリアスが存在しています\n上書きしますか？"))
            break;
    }
    System::Log::info("System::IniFile::Save::Save", "saveFile : %s", System::wideToUtf8(path).c_str());
    try {
        std::shared_lock lock(edit->lock());
        System::File file;
        file.open(path, System::File::kWrite);
        write(file);
        file.close();
    } catch (const std::exception&) {
        dialogs.showError(L"エイリアスの保存に失敗しました");
    }
    if (Effect::EffectService* effects = Effect::EffectService::get()) {
        effects->reloadAliases();
        effects->updateAlias(name, label);
    }
    return true;
}

}  // namespace

bool isAliasName(const std::wstring& name) {
    return !name.empty() && name.find_first_of(L"\\/:*?\"'<>|%=,.") == std::wstring::npos;
}

bool saveObjectAlias(const std::shared_ptr<Edit::Object>& object, bool withFrames) {
    if (!object) return false;
    return saveAlias(dialogText(withFrames ? L"オブジェクト" : L"全体"), L"object", [&](System::File& file) {
        Edit::LayerObjectManager::saveObjectAliasFile(file, *object, withFrames);
    });
}

bool saveEffectAlias(const std::shared_ptr<Edit::Object>& object, const Effect::EffectBase& effect) {
    if (!object) return false;
    return saveAlias(effect.getDisplayName(), L"effect",
                     [&](System::File& file) { Edit::LayerObjectManager::saveEffectAliasFile(file, effect); });
}

}  // namespace Component
