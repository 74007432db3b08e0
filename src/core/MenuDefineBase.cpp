#include "core/MenuDefineBase.h"

#include "core/SettingService.h"
#include "core/TextConvert.h"

namespace Menu {

MenuDefineBase::MenuDefineBase(const char* prefix, const std::wstring& id, int32_t defaultOrder,
                               const std::wstring& defaultLabel, bool shown)
    : settingsKey_(std::string(prefix) + "." + System::wideToUtf8(id)),
      group_(settingsKey_.c_str()),
      labelParameter_(group_, "label", &label, defaultLabel),
      orderParameter_(group_, "order", &order, defaultOrder),
      hideParameter_(group_, "hide", &hide, shown ? 0 : 1),
      binding_(group_, Setting::SettingService::mainSettings()) {
    System::IniFile* settings = Setting::SettingService::mainSettings();
    if (settings) {
        hadSettings_ = settings->hasSection(settingsKey_);
        group_.load(*settings);
    } else {
        for (System::Config::Parameter* parameter : group_.parameters()) parameter->reset();
    }
}

MenuDefineBase::~MenuDefineBase() = default;

std::wstring MenuDefineBase::getDisplayName() const { return getName(); }

}  // namespace Menu
