#include "edit/ProjectConvert.h"

#include <exception>

#include "core/Exception.h"
#include "core/Log.h"
#include "core/NumberText.h"
#include "core/SettingService.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "edit/EffectCatalog.h"
#include "edit/GroupNumberMap.h"
#include "edit/LayerObjectManager.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"

namespace Edit {
namespace {

constexpr const char* kTrackModeSection = "OldScript.trackmode";

// The tables of "effect.conf"; none before the settings exist.
const System::IniFile* effectConf() {
    const Setting::SettingService* settings = Setting::SettingService::get();
    return settings ? &settings->effect : nullptr;
}

// The scene name of a path: the file name without its last extension.
std::wstring sceneNameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    if (const size_t dot = name.rfind(L'.'); dot != std::wstring::npos) name.erase(dot);
    return name;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool ProjectConvert::importSceneFromKto(Project& project, const std::wstring& path) {
    const int32_t id = project.getNewSceneId();
    const std::shared_ptr<Scene> scene = project.getOrCreateScene(id);
    // Removed whatever the shown scene is: the new id may be the one a project
    // file named as shown without holding a scene of it.
    const auto removeScene = [&] {
        scene->clear();
        project.scenes.erase(id);
    };
    try {
        loadSceneFromKto(*scene, path);
    } catch (const std::exception&) {
        removeScene();
        Project::postError(L"シーンの読み込みに失敗しました");
        return false;
    } catch (...) {
        removeScene();
        throw;
    }
    project.displayScene = id;
    System::Log::info("Edit::EditService::updateScene", "set current scnene [%s](%d)",
                      System::wideToUtf8(scene->name).c_str(), id);
    return true;
}

bool ProjectConvert::loadSceneFromKto(Scene& scene, const std::wstring& path) {
    System::IniFile ini;
    ini.loadFile(path, false, true);
    if (!ini.hasSection("kirta") || ini.getSection("kirta").keys().empty())
        throw System::messageException("Edit::ProjectConvert::loadSceneFromKto", "kirta section not found");
    bool sound = scene.loadKtoHeader(ini.getSection("kirta"), sceneNameOf(ini.path().empty() ? path : ini.path()));

    GroupNumberMap groups;
    std::shared_ptr<Object> previous;
    for (int32_t n = 0;; ++n) {
        const std::string sectionName = std::to_string(n);
        const System::IniFile::SectionRef section = ini.getSection(sectionName);
        if (section.keys().empty()) break;
        try {
            // Read first: an unreadable value must not leave the object behind.
            const bool chained = section.findValue("chain").toInt(0) != 0;
            const std::shared_ptr<Object> object =
                LayerObjectManager::loadObjectKtoFile(scene, ini, sectionName, groups);
            if (!chained || !previous || !object->join(*previous)) {
                previous = object;
                continue;
            }
            // The merged section lives on in the previous object; this one
            // leaves its slot at the next update. It must not stay a member of
            // a group either, or the group would hold an object off the model.
            object->removeFromGroup();
            SceneLayer& slot = *scene.layers[static_cast<size_t>(object->layer)];
            slot.needsCompaction = true;
            if (object->layerRangeControl) slot.rangesDirty = true;
            object->layer = -1;
        } catch (const std::exception& e) {
            System::Log::warn("Edit::ProjectConvert::loadSceneFromKto", "object section [%s] not read: %s",
                              sectionName.c_str(), e.what());
            sound = false;
        }
    }
    scene.update();
    if (!sound) Project::postError(L"一部のオブジェクトの読み込みに失敗しました");
    return sound;
}

std::wstring ProjectConvert::convertEffectName(const System::IniFile::SectionRef& section) {
    std::wstring name = section.getValue("_name").toString();
    if (name != L"アニメーション効果" && name != L"カスタムオブジェクト" && name != L"カメラ効果") return name;
    std::wstring script = section.findValue("name").toString({});
    if (!script.empty()) return script;
    const std::string& type = section.getValue("type").text;
    static const System::IniFile none;
    const System::IniFile* conf = effectConf();
    return (conf ? *conf : none).getSection("OldScript." + System::wideToUtf8(name)).getValue(type).toString();
}

const Effect::EffectBase& ProjectConvert::findEffectWithOldName(const std::wstring& name) {
    const EffectCatalog* catalog = EffectCatalog::current();
    if (!catalog) throw System::messageException("Edit::ProjectConvert::findEffectWithOldName", "not found effect.");
    try {
        return catalog->findEffect(name);
    } catch (const std::exception&) {
        const System::IniFile* conf = effectConf();
        if (!conf) throw;
        const System::IniFile::VALUE& mapped = conf->getSection("OldScript").findValue(System::wideToUtf8(name));
        if (&mapped == &System::IniFile::emptyValue()) throw;
        return catalog->findEffect(mapped.toString());
    }
}

std::string ProjectConvert::convertTrackValue(std::string_view value) {
    const std::vector<std::string> parts = System::splitString(std::string(value), ',');
    if (parts.size() < 3) return std::string(value);

    const std::string& modeText = parts[2];
    size_t i = 0;
    while (i < modeText.size() && isBlank(modeText[i])) ++i;
    std::string token;
    for (; i < modeText.size(); ++i) {
        const char c = modeText[i];
        if (c == '@' || static_cast<unsigned char>(c) < 0x20) break;
        if (!isBlank(c)) token += c;
    }
    std::string script;
    if (i < modeText.size() && modeText[i] == '@') script = modeText.substr(i + 1);
    const int32_t code = System::stoi(token);
    const int32_t mode = code & 15;

    std::string movement = script;
    int32_t singleSection = -1;
    if (const System::IniFile* conf = effectConf(); conf && conf->hasSection(kTrackModeSection)) {
        const System::IniFile::SectionRef table = conf->getSection(kTrackModeSection);
        const System::IniFile::VALUE& named = table.findValue(std::to_string(mode));
        if (&named != &System::IniFile::emptyValue()) movement = named.text;
        singleSection = table.findValue("SingleSection").toInt(-1);
    }
    uint32_t flags = 0;
    if (code & 64) flags |= 1;
    if (code & 32) flags |= 2;
    if (mode == singleSection) flags |= 4;

    std::string result = parts[0] + "," + parts[1] + "," + movement + "," + std::to_string(flags);
    if (parts.size() >= 4) result += "|" + parts[3];
    return result;
}

}  // namespace Edit
