#include "effect/EffectBase.h"

#include <algorithm>

#include "core/Exception.h"
#include "core/File.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "effect/EffectItem.h"
#include "effect/NameTranslation.h"

namespace Effect {

EffectBase::~EffectBase() = default;

std::shared_ptr<Media::ResourceBuffer> EffectBase::inputVideo(Render::RenderContext&) {
    throw System::notImplementException("Effect::EffectBase::inputVideo");
}

void EffectBase::preInputVideo(Render::RenderContext&) {}

void EffectBase::outputVideo(Render::RenderContext&, Media::RenderBuffer&, std::shared_ptr<Media::ResourceBuffer>) {
    throw System::notImplementException("Effect::EffectBase::outputVideo");
}

void EffectBase::updateAnchor(Render::RenderContext&, int32_t, int32_t) {}

OutputView EffectBase::getOutputView(Render::RenderContext&) {
    throw System::notImplementException("Effect::EffectBase::getOutputView");
}

std::shared_ptr<Media::ResourceBuffer> EffectBase::filterVideo(Render::RenderContext&,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    image.reset();  // released before the throw, so the buffer never leaks
    throw System::notImplementException("Effect::EffectBase::filterVideo");
}

void EffectBase::controlVideo(Render::RenderContext&) {}

std::shared_ptr<Media::AudioBuffer> EffectBase::inputAudio(Render::AudioRenderContext&) {
    throw System::notImplementException("Effect::EffectBase::inputAudio");
}

void EffectBase::preInputAudio(Render::AudioRenderContext&) {}

void EffectBase::outputAudio(Render::AudioRenderContext&, Media::AudioBuffer&, std::shared_ptr<Media::AudioBuffer>) {
    throw System::notImplementException("Effect::EffectBase::outputAudio");
}

std::shared_ptr<Media::AudioBuffer> EffectBase::filterAudio(Render::AudioRenderContext&,
                                                            std::shared_ptr<Media::AudioBuffer> audio) {
    audio.reset();
    throw System::notImplementException("Effect::EffectBase::filterAudio");
}

void EffectBase::controlAudio(Render::AudioRenderContext&) {}

const EffectDefine* EffectBase::getPairedInputEffect() const { return nullptr; }

std::wstring EffectBase::getDisplayName() const { return translateName(name); }

bool EffectBase::hasLinkedAudio(int32_t) const { return false; }

EffectItemInteger* EffectBase::getLayerRange() {
    throw System::notImplementException("Effect::EffectBase::getLayerRange");
}

bool EffectBase::anchorEvent(const Anchor::AnchorEvent&) {
    throw System::notImplementException("Effect::EffectBase::anchorEvent");
}

bool EffectBase::itemEvent(const ItemEvent&) { return false; }

bool EffectBase::isSupportedFile(const std::wstring&) const { return false; }

void EffectBase::updateItemState() {}

void EffectBase::setupItemControls(Component::EffectSetting&) {}

void EffectBase::createCommonResource() {}

void EffectBase::shareResource(const EffectBase&) {}

std::shared_ptr<EffectBase> EffectBase::instantiate() const {
    std::shared_ptr<EffectBase> instance = createInstance();
    instance->shareResource(*this);
    return instance;
}

// ---- sections of project, alias and default-parameter files ----

void EffectBase::saveIniSectionParameter(System::File& file) const {
    System::IniFile::writeKeyValue(file, "effect.name", name);
    if (disabled) System::IniFile::writeKeyValue(file, "effect.disable", L"1");
    if (hidden) System::IniFile::writeKeyValue(file, "display.hide", L"1");
    if (locked) System::IniFile::writeKeyValue(file, "display.lock", L"1");
    for (const EffectItem* item : items)
        System::IniFile::writeKeyValue(file, System::wideToUtf8(item->name), System::utf8ToWide(item->toString()));
}

void EffectBase::loadIniSectionParameter(const System::IniFile::SectionRef& section) {
    // A malformed flag fails the whole section before anything changes.
    const bool newDisabled = section.findValue("effect.disable").toInt(0) != 0;
    const bool newHidden = section.findValue("display.hide").toInt(0) != 0;
    const bool newLocked = section.findValue("display.lock").toInt(0) != 0;
    disabled = newDisabled;
    hidden = newHidden;
    locked = newLocked;
    for (EffectItem* item : items) {
        const std::string key = System::wideToUtf8(item->name);
        const System::IniFile::VALUE& value = section.findValue(key);
        if (&value == &System::IniFile::emptyValue()) continue;
        try {
            // A value holds no line break once read: the same text that the
            // writer, which writes breaks as blanks, gives back.
            std::string text = value.text;
            System::replaceLineBreaks(text);
            item->fromString(text);
        } catch (const std::exception& e) {
            System::Log::warn("Effect::EffectBase::loadIniSectionParameter", "%s=%s\n%s", key.c_str(),
                              value.text.c_str(), e.what());
        }
    }
}

void EffectBase::loadKtoSectionParameter(const System::IniFile::SectionRef& section) {
    disabled = section.findValue("_disable").toInt(0) != 0;
    // The entries in file order: several keys may address one item.
    std::vector<std::pair<const std::string*, const System::IniFile::VALUE*>> entries;
    for (const auto& [key, value] : section.keys()) entries.emplace_back(&key, &value);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.second->line < b.second->line; });
    const std::string effectName = System::wideToUtf8(name);
    for (const auto& [key, value] : entries) {
        if (*key == "_name") continue;
        try {
            EffectItem* item = findItemByName(System::utf8ToWide(*key));
            if (!item) item = findItemByOldName(*key);
            if (item) item->fromKtoString(value->text, *key, name, false);
        } catch (const std::exception&) {
            System::Log::warn("Effect::EffectBase::loadKtoSectionParameter",
                              "ini file effect parameter invalid. [%s](%s)", effectName.c_str(), key->c_str());
        }
    }
}

EffectItem* EffectBase::findItemByName(const std::wstring& itemName) const {
    for (EffectItem* item : items)
        if (item->name == itemName) return item;
    return nullptr;
}

EffectItem* EffectBase::findItemByOldName(const std::string& oldKey) const {
    Setting::SettingService* settings = Setting::SettingService::get();
    if (!settings) return nullptr;
    const std::string sectionName = "OldScript." + System::wideToUtf8(name);
    if (!settings->effect.hasSection(sectionName)) return nullptr;
    const System::IniFile::VALUE& value = settings->effect.getSection(sectionName).findValue(oldKey);
    if (&value == &System::IniFile::emptyValue()) return nullptr;
    return findItemByName(value.toString());
}

void EffectBase::setItemData(const EffectBase& other) {
    if (items.size() != other.items.size())
        throw System::messageException("Effect::EffectBase::setItemData", "different number of items.");
    for (size_t i = 0; i < items.size(); ++i) items[i]->copyFrom(*other.items[i]);
}

}  // namespace Effect
