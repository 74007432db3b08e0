#include "plugin/image/PngFileSave.h"

#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/SettingService.h"
#include "core/TranslateService.h"
#include "plugin/OutputService.h"
#include "plugin/image/PngFileSaveFile.h"

namespace Plugin {

using namespace std::string_literals;

struct PngFileSave::Settings {
    Settings(const char* section, int32_t* transparent)
        : group(section),
          transparentParameter(group, "transparent", transparent, 1),
          binding(group, Setting::SettingService::mainSettings()) {}
    System::Config::ParameterGroup group;
    System::Config::Int transparentParameter;
    System::Config::ParameterBinding binding;
};

PngFileSave::PngFileSave() {
    name = L"PNGファイル出力";
    filter = L"PNG File (*.png)\0*.png\0\0"s;
    flags = kVideo | kSetting;
}

PngFileSave::~PngFileSave() = default;

std::shared_ptr<OutputFile> PngFileSave::createOutputFile(const std::wstring& path, const ExportScene& scene,
                                                          ExportSource* source) {
    return std::make_shared<PngFileSaveFile>(path, scene, source, transparent != 0);
}

void PngFileSave::showSetting(void*) {
    const OutputService::Presenter& ui = OutputService::currentPresenter();
    if (!ui.chooseMenu) return;
    const int32_t chosen =
        ui.chooseMenu({L"PNGファイル(透過付き)", L"PNGファイル(透過無し)"}, transparent != 0 ? 0 : 1);
    if (chosen == 0) transparent = 1;
    if (chosen == 1) transparent = 0;
}

std::wstring PngFileSave::getSettingText() const {
    const wchar_t* text = transparent != 0 ? L"PNGファイル(透過付き)" : L"PNGファイル(透過無し)";
    return Translate::translated(Translate::TranslateService::Table::Menu, text);
}

void PngFileSave::loadSetting(const std::string& section) {
    settings_.reset();
    settings_ = std::make_unique<Settings>(section.c_str(), &transparent);
    if (System::IniFile* document = Setting::SettingService::mainSettings())
        settings_->group.load(*document);
    else
        for (System::Config::Parameter* parameter : settings_->group.parameters()) parameter->reset();
}

}  // namespace Plugin
