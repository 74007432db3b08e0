#include "script/ScriptFileRegistrar.h"

#include "core/Exception.h"
#include "core/FileName.h"
#include "core/TextConvert.h"
#include "effect/MovementDefine.h"
#include "effect/ScriptMovement.h"
#include "script/CameraScript.h"
#include "script/SceneChangeScript.h"
#include "script/ScriptFileParser.h"
#include "script/ScriptFilter.h"
#include "script/ScriptInput.h"

namespace Plugin {

ScriptFileRegistrar::ScriptFileRegistrar() : previous_(Effect::EffectService::setScriptRegistrar(this)) {}

ScriptFileRegistrar::~ScriptFileRegistrar() { Effect::EffectService::setScriptRegistrar(previous_); }

void ScriptFileRegistrar::registerScriptFile(Effect::EffectService& service, Kind kind, const std::wstring& path,
                                             const std::wstring* folder, bool builtIn, bool olderFormat,
                                             const std::string* engineName) {
    switch (kind) {
    case Kind::kInput:
        registerScriptEffect<Effect::ScriptInput>(service, path, folder, builtIn, olderFormat, engineName);
        break;
    case Kind::kFilter:
        registerScriptEffect<Effect::ScriptFilter>(service, path, folder, builtIn, olderFormat, engineName);
        break;
    case Kind::kCamera:
        registerScriptEffect<Effect::CameraScript>(service, path, folder, builtIn, olderFormat, engineName);
        break;
    case Kind::kSceneChange:
        registerScriptEffect<Effect::SceneChangeScript>(service, path, folder, builtIn, olderFormat, engineName);
        break;
    case Kind::kMovement: registerScriptMovement(service, path, folder, builtIn, olderFormat, engineName); break;
    }
}

template <class T>
void ScriptFileRegistrar::registerScriptEffect(Effect::EffectService& service, const std::wstring& path,
                                               const std::wstring* folder, bool builtIn, bool olderFormat,
                                               const std::string* engineName) {
    std::vector<Effect::ScriptFileParser::ScriptSection> sections =
        Effect::ScriptFileParser::loadScriptFile(path, olderFormat, builtIn);
    const std::wstring folderPath = System::FileName::getDirectory(path);
    for (Effect::ScriptFileParser::ScriptSection& section : sections) {
        // The prototype's name points here until the script is handed over.
        const std::wstring key = section.name;
        if (service.ready()) {
            const auto found = service.effects().find(key);
            if (found == service.effects().end()) continue;
            if (auto* effect = dynamic_cast<Effect::ScriptEffect*>(found->second->prototype().get()))
                effect->updateScript(std::move(section));
            continue;
        }
        if (!service.registerEffect<T>(key.c_str())) continue;  // the dialog has said why
        const auto found = service.effects().find(key);
        T* effect = found == service.effects().end() ? nullptr : dynamic_cast<T*>(found->second->prototype().get());
        if (effect == nullptr)
            throw System::messageException("Effect::EffectService::registerScriptEffect", "not found script effect.");
        Effect::EffectDefine& define = *found->second;
        // A label the user saved stays; otherwise the folder, or the script's
        // own "--label", lists it.
        std::wstring* labelTarget = nullptr;
        if (!define.hadSettings()) {
            if (folder != nullptr) define.label = *folder;
            labelTarget = &define.label;
        }
        effect->setScript(std::move(section), folderPath, labelTarget, engineName);
    }
}

void ScriptFileRegistrar::registerScriptMovement(Effect::EffectService& service, const std::wstring& path,
                                                 const std::wstring* folder, bool builtIn, bool olderFormat,
                                                 const std::string* engineName) {
    std::vector<Effect::ScriptFileParser::ScriptSection> sections =
        Effect::ScriptFileParser::loadScriptFile(path, olderFormat, builtIn);
    const std::wstring folderPath = System::FileName::getDirectory(path);
    for (Effect::ScriptFileParser::ScriptSection& section : sections) {
        const std::wstring key = section.name;
        if (service.ready()) {
            const auto found = service.movements().find(key);
            if (found == service.movements().end()) continue;
            if (auto* movement = dynamic_cast<Effect::ScriptMovement*>(found->second->movement().get()))
                movement->scriptText = std::move(section.text);
            continue;
        }
        if (!service.registerMovement<Effect::ScriptMovement>(key, std::move(section.text))) continue;
        const auto found = service.movements().find(key);
        auto* movement = found == service.movements().end()
                             ? nullptr
                             : dynamic_cast<Effect::ScriptMovement*>(found->second->movement().get());
        if (movement == nullptr)
            throw System::messageException("Effect::EffectService::registerScriptMovement",
                                           "not found script movement.");
        movement->folder = folderPath;
        Effect::MovementDefine& define = *found->second;
        std::wstring* labelTarget = nullptr;
        if (!define.hadSettings()) {
            if (folder != nullptr) define.label = *folder;
            labelTarget = &define.label;
        }
        movement->makeScriptParams(labelTarget, engineName ? System::utf8ToWide(*engineName) : L"luaJIT");
    }
}

bool ScriptFileRegistrar::describeScript(const Effect::EffectBase& prototype, ScriptInfo& info) const {
    const auto* script = dynamic_cast<const Effect::ScriptEffect*>(&prototype);
    if (script == nullptr || !script->hasCommonResource()) return false;
    if (dynamic_cast<const Effect::ScriptInput*>(script) != nullptr)
        info.kind = Kind::kInput;
    else if (dynamic_cast<const Effect::ScriptFilter*>(script) != nullptr)
        info.kind = Kind::kFilter;
    else if (dynamic_cast<const Effect::CameraScript*>(script) != nullptr)
        info.kind = Kind::kCamera;
    else
        info.kind = Kind::kSceneChange;
    info.information = script->commonResource().information;
    info.folder = script->commonResource().folder;
    return true;
}

template void ScriptFileRegistrar::registerScriptEffect<Effect::ScriptInput>(Effect::EffectService&,
                                                                             const std::wstring&, const std::wstring*,
                                                                             bool, bool, const std::string*);
template void ScriptFileRegistrar::registerScriptEffect<Effect::ScriptFilter>(Effect::EffectService&,
                                                                              const std::wstring&, const std::wstring*,
                                                                              bool, bool, const std::string*);
template void ScriptFileRegistrar::registerScriptEffect<Effect::CameraScript>(Effect::EffectService&,
                                                                              const std::wstring&, const std::wstring*,
                                                                              bool, bool, const std::string*);
template void ScriptFileRegistrar::registerScriptEffect<Effect::SceneChangeScript>(Effect::EffectService&,
                                                                                   const std::wstring&,
                                                                                   const std::wstring*, bool, bool,
                                                                                   const std::string*);

}  // namespace Plugin
