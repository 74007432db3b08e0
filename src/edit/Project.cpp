#include "edit/Project.h"

#include <algorithm>
#include <cwctype>
#include <limits>
#include <memory>

#include "core/EventCommandPost.h"
#include "core/Exception.h"
#include "core/File.h"
#include "core/FileName.h"
#include "core/IniFile.h"
#include "core/Log.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "edit/GroupNumberMap.h"
#include "edit/IniLines.h"
#include "edit/Layer.h"
#include "edit/LayerObjectManager.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/EffectItem.h"

namespace Edit {

void Project::setPath(std::wstring text) {
    System::replaceLineBreaks(text);
    path = std::move(text);
}

std::shared_ptr<Scene> Project::getScene(int32_t id) const {
    auto it = scenes.find(id);
    return it == scenes.end() ? nullptr : it->second;
}

std::shared_ptr<Scene> Project::getOrCreateScene(int32_t id) {
    if (auto it = scenes.find(id); it != scenes.end()) return it->second;
    // One past the greatest order, negative orders included; an order already
    // at the top of the range is shared rather than wrapped round.
    int32_t order = 0;
    if (!scenes.empty()) {
        int64_t highest = std::numeric_limits<int64_t>::min();
        for (const auto& [_, scene] : scenes) highest = std::max<int64_t>(highest, scene->displayOrder);
        order = static_cast<int32_t>(std::min<int64_t>(highest + 1, std::numeric_limits<int32_t>::max()));
    }
    auto scene = std::make_shared<Scene>(id, order);
    scenes.emplace(id, scene);
    return scene;
}

int32_t Project::getNewSceneId() const {
    int32_t id = 1;
    while (scenes.count(id)) ++id;
    return id;
}

void Project::deleteScene(int32_t id) {
    if (id == 0 || id == displayScene) return;
    auto it = scenes.find(id);
    if (it == scenes.end()) return;
    it->second->clear();
    scenes.erase(it);
}

void Project::clear() {
    for (const auto& [_, scene] : scenes) scene->clear();
    scenes.clear();
    displayScene = 0;
    path.clear();
}

}  // namespace Edit

// ---- project file

namespace Edit {
namespace {

Project::QuestionAsker& questionAsker() {
    static Project::QuestionAsker asker;
    return asker;
}

Project::ErrorPoster& errorPoster() {
    static Project::ErrorPoster poster;
    return poster;
}

constexpr const char* kLoadScope = "Edit::Project::loadProjectFile";

// The reader stops each numbered run of sections ("<prefix>0", "<prefix>1" ...)
// at the first one missing. Sections numbered beyond it are not read: each
// such gap is logged with the first section left unread, and the load counts
// as partly failed. Returns whether there was one.
bool reportGap(const System::IniFile& ini, const std::string& prefix, int32_t missing) {
    int32_t first = -1;
    for (const auto& [name, keys] : ini.sections()) {
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0 || keys.empty()) continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9) continue;
        const int32_t number = std::stoi(digits);
        if (number > missing && (first < 0 || number < first)) first = number;
    }
    if (first < 0) return false;
    System::Log::warn(kLoadScope, "section [%s%d] and later not read: [%s%d] is missing", prefix.c_str(), first,
                      prefix.c_str(), missing);
    return true;
}

}  // namespace

std::vector<std::shared_ptr<Scene>> Project::getSceneList() const {
    std::vector<std::shared_ptr<Scene>> list;
    for (const auto& [_, scene] : scenes) list.push_back(scene);
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
        return a->displayOrder != b->displayOrder ? a->displayOrder < b->displayOrder : a->id < b->id;
    });
    return list;
}

Project::ErrorPoster Project::setErrorPoster(ErrorPoster poster) {
    std::swap(errorPoster(), poster);
    return poster;
}

Project::QuestionAsker Project::setQuestionAsker(QuestionAsker asker) {
    std::swap(questionAsker(), asker);
    return asker;
}

void Project::postError(const std::wstring& text) {
    if (errorPoster()) {
        errorPoster()(text);
        return;
    }
    // Shown later on the UI thread, like every posted error text.
    auto posted = std::make_unique<std::wstring>(text);
    if (Event::postEventCommand(Event::EventCommandType::ShowError, reinterpret_cast<intptr_t>(posted.get()))) {
        posted.release();  // the event service frees it
        return;
    }
    System::Log::error("Edit::Project::loadProjectFile", L"%ls", text.c_str());
}

void Project::saveProjectFile(const std::wstring& path) const {
    System::Log::verbose("System::IniFile::Save::Save", L"saveFile : %ls", path.c_str());
    System::File file;
    // Written beside the target and renamed into place by close(): a failure
    // leaves the old project file intact.
    file.open(path, System::File::kWrite);
    IniLines::writeSection(file, "project");
    System::IniFile::writeKeyValue(file, "file", this->path);
    IniLines::writeInt(file, "display.scene", displayScene);
    GroupNumberMap groups;
    int32_t layerSection = 0;
    int32_t objectSection = 0;
    int32_t sceneSection = 0;
    for (const auto& scene : getSceneList()) {
        scene->saveIniFile(file, sceneSection++);
        for (int32_t i = 0; i <= scene->lastUsedLayer; ++i) {
            const SceneLayer& slot = scene->getLayer(i);
            if (slot.layer && !slot.layer->isDefault()) slot.layer->saveIniFile(file, scene->id, layerSection++);
            for (const auto& object : slot.objects) {
                if (object->layer != i) continue;
                LayerObjectManager::saveObjectIniFile(file, scene->id, std::to_string(objectSection++), *object, groups,
                                                      scene->focusObject.get());
            }
        }
    }
    file.close();
}

bool Project::loadProjectFile(const std::wstring& filePath) {
    System::IniFile ini;
    if (!ini.loadFile(filePath)) throw System::messageException(kLoadScope, "project file could not be read.");
    // Text with neither a project nor a scene section is some other file: it
    // must not open as an empty project that a save would then write over.
    const bool hasScene = std::any_of(ini.sections().begin(), ini.sections().end(),
                                      [](const auto& section) { return section.first.rfind("scene.", 0) == 0; });
    if (!ini.hasSection("project") && !hasScene) throw System::messageException(kLoadScope, "not a project file.");
    bool sound = true;

    const System::IniFile::SectionRef project = ini.getSection("project");
    std::wstring file = project.findValue("file").toString({});
    System::FileName::expandVariable(file);
    setPath(std::move(file));
    displayScene = project.findValue("display.scene").toInt(0);

    int32_t n = 0;
    for (;; ++n) {
        const System::IniFile::SectionRef section = ini.getSection("scene", n);
        if (section.keys().empty()) break;
        const int32_t id = section.getValue("scene").toInt();
        if (!getOrCreateScene(id)->loadIniFile(ini, section.name())) sound = false;
    }
    if (reportGap(ini, "scene.", n)) sound = false;

    int32_t k = 0;
    for (;; ++k) {
        const System::IniFile::SectionRef section = ini.getSection("layer", k);
        if (!ini.hasSection(section.name())) break;
        const int32_t sceneId = section.findValue("scene").toInt(0);
        const int32_t index = section.getValue("layer").toInt();
        if (index < 0 || index > LayerObjectManager::kMaxLayer) {
            System::Log::warn(kLoadScope, "section [%s] not read: layer=%d names no layer", section.name().c_str(),
                              index);
            sound = false;
            continue;
        }
        const auto scene = getOrCreateScene(sceneId);
        scene->reserveLayer(index);
        Layer& layer = *scene->layers[static_cast<size_t>(index)]->layer;
        layer.setName(section.findValue("name").toString({}));
        layer.lock = section.findValue("lock").toInt(0) != 0;
        layer.hide = section.findValue("hide").toInt(0) != 0;
    }
    if (reportGap(ini, "layer.", k)) sound = false;

    GroupNumberMap groups;
    int32_t count = 0;
    for (;; ++count) {
        const std::string name = std::to_string(count);
        const System::IniFile::SectionRef section = ini.getSection(name);
        if (section.keys().empty()) break;
        try {
            const auto scene = getOrCreateScene(section.findValue("scene").toInt(0));
            auto object = LayerObjectManager::loadObjectIniFile(*scene, ini, name, groups);
            if (section.findValue("focus").toInt(0) != 0) scene->focusObject = object;
            // The object keeps the effects before a gap in their numbering.
            int32_t effects = 0;
            while (!ini.getSection(name, effects).keys().empty()) ++effects;
            if (reportGap(ini, name + ".", effects)) sound = false;
        } catch (const std::exception&) {
            sound = false;
        }
    }
    // Objects after a gap are not read, but they are not passed over silently.
    if (reportGap(ini, "", count)) sound = false;

    for (const auto& [_, scene] : scenes) scene->update();
    if (!sound) postError(L"一部のオブジェクトの読み込みに失敗しました");
    return sound;
}

void Project::updateEffectItemFilePath(const std::wstring& newPath) {
    const auto folderOf = [](const std::wstring& p) {
        std::wstring folder = System::FileName::getDirectory(p);
        System::FileName::expandVariable(folder);
        folder += System::kPathSeparator;
        System::FileName::expandVariable(folder);
        return folder;
    };
    const std::wstring oldFolder = folderOf(path);
    const std::wstring newFolder = folderOf(newPath);
    const auto startsWithFolder = [&](const std::wstring& p) {
        if (p.size() < oldFolder.size()) return false;
        for (size_t i = 0; i < oldFolder.size(); ++i)
            if (std::towlower(p[i]) != std::towlower(oldFolder[i])) return false;
        return true;
    };
    bool asked = false;
    for (const auto& [_, scene] : scenes) {
        for (int32_t i = 0; i <= scene->lastUsedLayer; ++i) {
            for (const auto& object : scene->getLayer(i).objects) {
                for (const auto& effect : object->effects) {
                    for (Effect::EffectItem* item : effect->items) {
                        std::wstring itemPath;
                        if (!item->getFilePath(itemPath) || !startsWithFolder(itemPath) ||
                            System::File::exists(itemPath))
                            continue;
                        if (!asked) {
                            const wchar_t* question =
                                L"プロジェクトファイルのパスが変更されています。\n\n以前のプロジェクトパスの配下の指定"
                                L"ファイルが存在しない場合は\n現在のプロジェクトパスの配下に変更しますか？";
                            question = Translate::translated(Translate::TranslateService::Table::Message, question);
                            if (!questionAsker() || !questionAsker()(question)) return;
                            asked = true;
                        }
                        // Only the folder the path begins with: with "/" as the separator a
                        // folder text can recur further along (the root folder is every "/").
                        std::wstring rebased = itemPath;
                        if (rebased.compare(0, oldFolder.size(), oldFolder) == 0)
                            rebased.replace(0, oldFolder.size(), newFolder);
                        System::Log::info("Edit::Project::updateEffectItemFilePath", L"update file path [%ls] -> [%ls]",
                                          itemPath.c_str(), rebased.c_str());
                        item->setFilePath(rebased);
                    }
                }
            }
        }
    }
}

}  // namespace Edit
