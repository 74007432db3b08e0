#include "plugin/OutputPlugin.h"

#include "core/ConfigParameterBinding.h"
#include "core/Exception.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"

namespace Plugin {

struct OutputPlugin::Settings {
    Settings(const char* section, int32_t* order, int32_t index)
        : group(section), orderParameter(group, "order", order, index),
          binding(group, Setting::SettingService::mainSettings()) {}
    System::Config::ParameterGroup group;
    System::Config::Int orderParameter;
    System::Config::ParameterBinding binding;
};

OutputPlugin::OutputPlugin() = default;
OutputPlugin::~OutputPlugin() = default;

void OutputPlugin::showSetting(void*) { throw System::notImplementException("Plugin::OutputPlugin::showSetting"); }

std::wstring OutputPlugin::getSettingText() const { return name; }

void OutputPlugin::loadSetting(const std::string&) {}

void OutputPlugin::initSetting(int32_t index) {
    settings_.reset();
    section_ = "Output." + System::wideToUtf8(name);
    settings_ = std::make_unique<Settings>(section_.c_str(), &order_, index);
    if (System::IniFile* document = Setting::SettingService::mainSettings())
        settings_->group.load(*document);
    else
        for (System::Config::Parameter* parameter : settings_->group.parameters()) parameter->reset();
    loadSetting(section_);
}

}  // namespace Plugin
