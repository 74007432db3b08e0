#include "plugin/InputPlugin.h"

#include "core/Exception.h"
#include "core/FileName.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"

namespace Plugin {

struct InputPlugin::Settings {
    Settings(const char* section, int32_t* priority, int32_t defaultPriority, std::wstring* ext)
        : group(section),
          priorityParameter(group, "priority", priority, defaultPriority),
          extParameter(group, "ext", ext, L""),
          binding(group, Setting::SettingService::mainSettings()) {}
    System::Config::ParameterGroup group;
    System::Config::Int priorityParameter;
    System::Config::String extParameter;
    System::Config::ParameterBinding binding;
};

InputPlugin::InputPlugin() = default;
InputPlugin::~InputPlugin() = default;

void InputPlugin::showSetting(void*) { throw System::notImplementException("Plugin::InputPlugin::showSetting"); }

void InputPlugin::initSetting(int32_t defaultPriority) {
    settings_.reset();
    section_ = "Input." + System::wideToUtf8(name);
    settings_ = std::make_unique<Settings>(section_.c_str(), &priority_, defaultPriority, &ext_);
    if (System::IniFile* document = Setting::SettingService::mainSettings())
        settings_->group.load(*document);
    else
        for (System::Config::Parameter* parameter : settings_->group.parameters()) parameter->reset();
}

std::vector<std::wstring> InputPlugin::getExtList() const {
    if (ext_.empty()) return System::FileName::getFilterExtList(filter.c_str());
    std::vector<std::wstring> list;
    size_t start = 0;
    for (;;) {
        const size_t comma = ext_.find(L',', start);
        list.push_back(ext_.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
        if (comma == std::wstring::npos) break;
        start = comma + 1;
    }
    return list;
}

void InputPlugin::setExtList(const std::wstring& text) {
    std::wstring own;
    for (const std::wstring& ext : System::FileName::getFilterExtList(filter.c_str())) {
        if (!own.empty()) own += L',';
        own += ext;
    }
    ext_ = text == own ? std::wstring() : text;
}

}  // namespace Plugin
