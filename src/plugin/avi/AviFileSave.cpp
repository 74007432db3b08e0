#include "plugin/avi/AviFileSave.h"

#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/ConfigString.h"
#include "core/SettingService.h"
#include "plugin/OutputService.h"
#include "plugin/avi/AviFileSaveFile.h"

namespace Plugin {

using namespace std::string_literals;

struct AviFileSave::Settings {
    Settings(const char* section, std::wstring* video, std::wstring* audio)
        : group(section),
          videoParameter(group, "VideoType", video, L"RGB24bit"),
          audioParameter(group, "AudioType", audio, L"PCM16bit"),
          binding(group, Setting::SettingService::mainSettings()) {}
    System::Config::ParameterGroup group;
    System::Config::String videoParameter;
    System::Config::String audioParameter;
    System::Config::ParameterBinding binding;
};

AviFileSave::AviFileSave() {
    name = L"AVIファイル出力";
    filter = L"AVI File (*.avi)\0*.avi\0\0"s;
    flags = kVideo | kSetting;
}

AviFileSave::~AviFileSave() = default;

std::shared_ptr<OutputFile> AviFileSave::createOutputFile(const std::wstring& path, const ExportScene& scene,
                                                          ExportSource* source) {
    return std::make_shared<AviFileSaveFile>(path, scene, source, videoType, audioType);
}

// The dialog offers the formats a user picks from; a type written into the
// settings by hand stays until another is chosen.
void AviFileSave::showSetting(void* ownerWindow) {
    const OutputService::Presenter& ui = OutputService::currentPresenter();
    if (!ui.aviFormats) return;
    std::wstring video = videoType, audio = audioType;
    if (!ui.aviFormats(ownerWindow, name, video, audio)) return;
    videoType = video;
    audioType = audio;
}

std::wstring AviFileSave::getSettingText() const { return L"Video: " + videoType + L" / Audio: " + audioType; }

void AviFileSave::loadSetting(const std::string& section) {
    settings_.reset();
    settings_ = std::make_unique<Settings>(section.c_str(), &videoType, &audioType);
    if (System::IniFile* document = Setting::SettingService::mainSettings())
        settings_->group.load(*document);
    else
        for (System::Config::Parameter* parameter : settings_->group.parameters()) parameter->reset();
}

}  // namespace Plugin
