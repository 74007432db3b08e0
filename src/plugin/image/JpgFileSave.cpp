#include "plugin/image/JpgFileSave.h"

#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/SettingService.h"
#include "core/TranslateService.h"
#include "plugin/OutputService.h"
#include "plugin/image/JpgFileSaveFile.h"

namespace Plugin {

using namespace std::string_literals;

struct JpgFileSave::Settings {
    Settings(const char* section, int32_t* quality)
        : group(section),
          qualityParameter(group, "quality", quality, 90),
          binding(group, Setting::SettingService::mainSettings()) {}
    System::Config::ParameterGroup group;
    System::Config::Int qualityParameter;
    System::Config::ParameterBinding binding;
};

JpgFileSave::JpgFileSave() {
    name = L"JPEGファイル出力";
    filter = L"JPEG File (*.jpg;*.jpeg)\0*.jpg;*.jpeg\0\0"s;
    flags = kVideo | kSetting;
}

JpgFileSave::~JpgFileSave() = default;

std::shared_ptr<OutputFile> JpgFileSave::createOutputFile(const std::wstring& path, const ExportScene& scene,
                                                          ExportSource* source) {
    return std::make_shared<JpgFileSaveFile>(path, scene, source, quality);
}

void JpgFileSave::showSetting(void* ownerWindow) {
    const OutputService::Presenter& ui = OutputService::currentPresenter();
    if (!ui.inputInteger) return;
    int32_t value = quality;
    if (ui.inputInteger(ownerWindow, name, L"JPEG品質", value, 1, 100)) quality = value;
}

std::wstring JpgFileSave::getSettingText() const {
    const wchar_t* label = Translate::translated(Translate::TranslateService::Table::Dialog, L"JPEG品質");
    return std::wstring(label) + L":" + std::to_wstring(quality);
}

void JpgFileSave::loadSetting(const std::string& section) {
    settings_.reset();
    settings_ = std::make_unique<Settings>(section.c_str(), &quality);
    if (System::IniFile* document = Setting::SettingService::mainSettings())
        settings_->group.load(*document);
    else
        for (System::Config::Parameter* parameter : settings_->group.parameters()) parameter->reset();
}

}  // namespace Plugin
