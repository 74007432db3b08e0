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
      document_(Setting::SettingService::mainSettings()) {
    System::IniFile* settings = Setting::SettingService::mainSettings();
    if (settings) {
        hadSettings_ = settings->hasSection(settingsKey_);
        group_.load(*settings);
    } else {
        for (System::Config::Parameter* parameter : group_.parameters()) parameter->reset();
    }
}

MenuDefineBase::~MenuDefineBase() {
    // Entries that outlive the settings service (fonts go with the 2-D
    // service) have nothing left to write into.
    if (document_ == nullptr || document_ != Setting::SettingService::mainSettings()) return;
    try {
        for (System::Config::Parameter* parameter : group_.parameters())
            document_->getValue(group_.section(), parameter->key()).text = parameter->save();
    } catch (...) {
        // Only allocation can fail here; a destructor cannot pass it on.
    }
}

std::wstring MenuDefineBase::getDisplayName() const { return getName(); }

}  // namespace Menu
