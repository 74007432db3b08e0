#include "edit/ObjectCreateCommands.h"

#include <cstdint>

#include "core/FileName.h"
#include "core/IniFile.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "edit/EditCommandTargets.h"
#include "edit/EditService.h"
#include "edit/LayerObjectManager.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectService.h"

namespace Edit::EditCommand {
namespace {

EditService& service() { return *EditService::instance(); }

void openRecord(UpdateSection& scope) {
    if (Undo::UndoService* undo = Undo::UndoService::get()) undo->openRecord(scope);
}

void makeFocus(UpdateSection& scope, const std::shared_ptr<Object>& object) {
    if (scope.scene->focusObject == object) return;
    scope.scene->focusObject = object;
    scope.focusChanged = true;
}

}  // namespace

std::shared_ptr<Object> createObject(const std::wstring& effectName, int32_t layer, int32_t frame,
                                     const ObjectCallback& callback) {
    System::Log::info("Edit::EditCommand::createObject", "create object [%s] layer=%d frame=%d",
                      System::wideToUtf8(effectName).c_str(), layer, frame);
    auto scope = service().openSection();
    scope->layersChanged = true;
    scope->objectChanged = true;
    openRecord(*scope);
    Scene& scene = *scope->scene;
    scene.reserveLayer(layer);
    // The first free span at or after the frame, cut short by the next neighbour.
    const SceneLayer& slot = scene.getLayer(layer);
    int64_t a = frame, b = defaultEnd(scene, frame);
    for (size_t i = slot.lowerBoundByEnd(frame); i < slot.objects.size(); ++i) {
        const Object& o = *slot.objects[i];
        if (a < o.start) {
            if (b >= o.start) b = o.start - 1;
            break;
        }
        b += o.end - a + 1;
        a = static_cast<int64_t>(o.end) + 1;
    }
    auto object = scene.createObject(effectName, layer, static_cast<int32_t>(std::min<int64_t>(a, INT32_MAX)),
                                     static_cast<int32_t>(std::min<int64_t>(b, INT32_MAX)));
    if (callback) callback(*object, *scope);
    if (Undo::UndoService* undo = Undo::UndoService::get()) undo->addObjectUndoCreate(object);
    makeFocus(*scope, object);
    return object;
}

ObjectCallback passFile(std::wstring path) {
    return [path = std::move(path)](Object& object, UpdateSection& scope) {
        scope.scene->update();
        Effect::ItemEvent event;
        event.kind = Effect::ItemEvent::kFileGiven;
        event.scope = &scope;
        event.path = path;
        object.sendInputEffectEvent(event);
    };
}

std::shared_ptr<Object> loadObject(const std::wstring& path, int32_t layer, int32_t frame) {
    System::Log::info("Edit::EditCommand::loadObject", "load object [%s] layer=%d frame=%d",
                      System::wideToUtf8(path).c_str(), layer, frame);
    try {
        System::IniFile ini;
        ini.loadFile(path);
        auto scope = service().openSection();
        scope->layersChanged = true;
        scope->objectChanged = true;
        openRecord(*scope);
        Scene& scene = *scope->scene;
        const int32_t end = defaultEnd(scene, frame);
        auto object = System::FileName::getExtension(path.c_str()) == L"effect"
                          ? LayerObjectManager::loadObjectAliasFileEffect(scene, ini, layer, frame, end)
                          : LayerObjectManager::loadObjectAliasFile(scene, ini, layer, frame, end);
        if (Undo::UndoService* undo = Undo::UndoService::get()) undo->addObjectUndoCreate(object);
        makeFocus(*scope, object);
        return object;
    } catch (const std::exception&) {
        Project::postError(L"エイリアスの読み込みに失敗しました");
        return nullptr;
    }
}

void deleteObject() {
    Scene& current = *service().currentScene();
    const auto targets = getTargets(current);
    if (targets.empty()) return;
    System::Log::info("Edit::EditCommand::deleteObject", "delete object num=%d", static_cast<int32_t>(targets.size()));
    auto scope = service().openSection();
    scope->layersChanged = true;
    scope->objectChanged = true;
    openRecord(*scope);
    Scene& scene = *scope->scene;
    for (const auto& o : targets) {
        if (Undo::UndoService* undo = Undo::UndoService::get()) undo->addObjectUndoDelete(o);
        takeOutObject(scene, *o);
    }
    clearSelection(scene);
}

bool createSceneFromFile(const std::wstring& path) {
    const Effect::EffectService* effects = Effect::EffectService::get();
    const std::wstring input = effects ? effects->getInputEffectForFile(path) : std::wstring();
    if (input.empty()) {
        Project::postError(L"このファイルには対応していません");
        return false;
    }
    int32_t width = 256, height = 256, rate = 1, scale = 1;
    int32_t audioRate = service().currentScene()->audioRate;
    if (System::FileName::getExtension(path.c_str()) != L"svg") {
        Effect::EffectService::MediaFileInfo info;
        if (!Effect::EffectService::getMediaFileInfo(path, info)) {
            Project::postError(L"このファイルには対応していません");
            return false;
        }
        width = height = 32;
        if (info.video) {
            width = info.width;
            height = info.height;
            rate = info.rate;
            scale = info.scale;
        }
        if (info.audio) audioRate = info.audioRate;
    }
    std::wstring name = path;
    System::FileName::expandVariable(name);
    if (const size_t slash = name.find_last_of(L"\\/"); slash != std::wstring::npos) name.erase(0, slash + 1);
    if (const size_t dot = name.rfind(L'.'); dot != std::wstring::npos) name.erase(dot);
    if (!service().createScene(name, width, height, rate, scale, audioRate)) return false;
    createObject(input, 0, 0, passFile(path));
    return true;
}

}  // namespace Edit::EditCommand
