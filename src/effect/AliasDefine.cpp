#include "effect/AliasDefine.h"

#include "core/Exception.h"
#include "core/FileName.h"
#include "core/IniFile.h"
#include "effect/EffectBase.h"
#include "effect/EffectDefine.h"
#include "effect/EffectService.h"
#include "effect/ObjectCommands.h"

namespace Effect {

namespace {

ObjectCommands& commands(const char* scope) {
    ObjectCommands* c = ObjectCommands::current();
    if (!c) throw System::notImplementException(scope);
    return *c;
}

}  // namespace

AliasDefine::AliasDefine(std::wstring stemText, std::wstring kindText, int32_t order)
    : EffectMenuDefine("Effect", kindText + L"." + stemText, order, L"", true),
      stem(std::move(stemText)),
      kind(std::move(kindText)),
      kindCode(kind == L"object" ? 100 : 101) {}

AliasDefine::~AliasDefine() = default;

std::wstring AliasDefine::getName() const { return stem; }

int32_t AliasDefine::getKind() { return kindCode; }

uint8_t AliasDefine::getMedia() {
    if (media_ == 0) loadAliasInfo();
    return media_;
}

uint8_t AliasDefine::getPlacement() {
    if (media_ == 0) loadAliasInfo();
    return placement_;
}

void AliasDefine::createObject(int32_t layer, int32_t frame) {
    commands("Effect::AliasDefine::createObject").loadObject(getPath(), layer, frame);
}

void AliasDefine::addToObject(const std::shared_ptr<Edit::Object>& object, int32_t position, bool replace) {
    commands("Effect::AliasDefine::addToObject").loadEffect(object, getPath(), position, replace);
}

bool AliasDefine::isDefineOf(const EffectBase&) const { return false; }

std::wstring AliasDefine::getPath() const {
    std::wstring path = std::wstring(L"%Alias%") + System::kPathSeparator + stem + L"." + kind;
    System::FileName::expandVariable(path);
    return path;
}

void AliasDefine::loadAliasInfo() {
    try {
        EffectService* service = EffectService::get();
        if (!service) return;
        System::IniFile ini;
        ini.loadFile(getPath());
        const System::IniFile::SectionRef section = ini.getSection("Effect", 0);
        if (section.keys().empty()) return;
        const EffectDefine& define = service->findEffect(section.getValue("effect.name").toString());
        media_ = define.prototype()->media;
        placement_ = define.prototype()->placement;
    } catch (const std::exception&) {
        // missing file, missing name or unknown effect: asked again next time
    }
}

}  // namespace Effect
