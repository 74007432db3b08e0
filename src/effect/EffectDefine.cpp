#include "effect/EffectDefine.h"

#include "core/Exception.h"
#include "core/File.h"
#include "core/FileName.h"
#include "core/IniFile.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "effect/EffectBase.h"
#include "effect/NameTranslation.h"
#include "effect/ObjectCommands.h"

namespace Effect {

namespace {

ObjectCommands& commands(const char* scope) {
    ObjectCommands* c = ObjectCommands::current();
    if (!c) throw System::notImplementException(scope);
    return *c;
}

}  // namespace

EffectDefine::EffectDefine(std::shared_ptr<EffectBase> prototype, int32_t order)
    : EffectMenuDefine("Effect", prototype->name, order, prototype->menuGroup, true), prototype_(std::move(prototype)) {
    prototype_->createCommonResource();
}

EffectDefine::~EffectDefine() = default;

std::wstring EffectDefine::getName() const { return prototype_->name; }

std::wstring EffectDefine::getDisplayName() const { return translateName(prototype_->name); }

int32_t EffectDefine::getKind() { return prototype_->role; }

uint8_t EffectDefine::getMedia() { return prototype_->media; }

uint8_t EffectDefine::getPlacement() { return prototype_->placement; }

void EffectDefine::createObject(int32_t layer, int32_t frame) {
    commands("Effect::EffectDefine::createObject").createObject(prototype_->name, layer, frame);
}

void EffectDefine::addToObject(const std::shared_ptr<Edit::Object>& object, int32_t position, bool replace) {
    commands("Effect::EffectDefine::addToObject").setEffect(object, prototype_->name, position, replace);
}

bool EffectDefine::isDefineOf(const EffectBase& effect) const {
    return std::wstring_view(effect.name) == prototype_->name;
}

std::wstring EffectDefine::getDefaultParamPath() const {
    std::wstring path = std::wstring(L"%Default%") + System::kPathSeparator + prototype_->name + L".effect";
    System::FileName::expandVariable(path);
    return path;
}

EffectBase& EffectDefine::loadDefaultParam() {
    if (defaultsLoaded_) return *prototype_;
    defaultsLoaded_ = 1;
    const std::wstring path = getDefaultParamPath();
    if (System::File::exists(path)) {
        System::IniFile ini;
        ini.loadFile(path);
        prototype_->loadIniSectionParameter(ini.getSection("Effect", 0));
    }
    return *prototype_;
}

void EffectDefine::saveDefaultParam(const EffectBase& effect) {
    if (!isDefineOf(effect)) return;
    defaultsLoaded_ = 0;
    const std::wstring path = getDefaultParamPath();
    System::Log::verbose("System::IniFile::Save::Save", L"saveFile : %ls", path.c_str());
    System::File file;
    file.open(path, System::File::kWrite);
    static constexpr char kHeader[] = "[Effect.0]\r\n";
    file.write(kHeader, sizeof kHeader - 1);
    effect.saveIniSectionParameter(file);
    file.close();
}

void EffectDefine::resetDefaultParam(const EffectBase& effect) {
    if (!isDefineOf(effect)) return;
    System::File::deleteFile(getDefaultParamPath());
    const std::shared_ptr<EffectBase> fresh = prototype_->createInstance();
    prototype_->setItemData(*fresh);
}

std::shared_ptr<EffectBase> EffectDefine::createEffect() const { return prototype_->instantiate(); }

}  // namespace Effect
