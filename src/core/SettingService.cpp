#include "core/SettingService.h"

#include <atomic>
#include <cmath>
#include <vector>

#include "core/Exception.h"
#include "core/NumberText.h"
#include "platform/os/SystemInfo.h"

namespace Setting {
namespace {

constexpr const char* kSystemScope = "Setting::SettingService::System::System";

std::atomic<SettingService::DpiReader>& dpiReader() {
    static std::atomic<SettingService::DpiReader> reader{nullptr};
    return reader;
}

std::atomic<SettingService::InputTimingsReader>& timingsReader() {
    static std::atomic<SettingService::InputTimingsReader> reader{nullptr};
    return reader;
}

std::vector<std::function<void(SettingService&)>>& loadedCallbacks() {
    static std::vector<std::function<void(SettingService&)>> list;
    return list;
}

// The user's copy first, then the shipped defaults under it; the document is
// never saved back.
void loadConf(::System::IniFile& document, const wchar_t* name) {
    document.loadFile(std::wstring(L"%AppData%/") + name);
    document.loadFile(std::wstring(L"%AppInstall%/") + name, true);
    document.setSaveFlag(false);
}

// Larger of 1 and value times factor, halves away from zero.
std::string scaled(int32_t value, float factor) {
    const double v = std::round(static_cast<double>(value) * factor);
    return std::to_string(static_cast<long long>(v < 1 ? 1 : v));
}

}  // namespace

SettingService::System::System() {
    loadConf(document, L"system.conf");
    config = {"Config", &document};
    frameRate = {"FrameRate", &document};
    keyCode = {"KeyCode", &document};

    Platform::os::InputTimings timings;
    const InputTimingsReader reader = timingsReader().load();
    if (Platform::failed(reader != nullptr ? reader(timings) : Platform::os::inputTimings(timings)))
        throw ::System::lastErrorException("SystemParametersInfo", kSystemScope);
    keyRepeatDelay = ((timings.keyboardDelay + 1) * 1000) / 4;
    keyRepeatInterval = 1000 / (timings.keyboardSpeed + 2);
    if (timings.caretBlinkTime == 0) throw ::System::lastErrorException("GetCaretBlinkTime", kSystemScope);
    caretBlinkTime = timings.caretBlinkTime;
    dragWidth = timings.dragWidth < 1 ? 1 : timings.dragWidth;
    dragHeight = timings.dragHeight < 1 ? 1 : timings.dragHeight;
    doubleClickTime = timings.doubleClickTime;
    uint64_t memoryKb = 0;
    if (Platform::failed(Platform::os::installedMemoryKb(memoryKb))) {
        (void)::System::lastErrorException("GetPhysicallyInstalledSystemMemory", kSystemScope);  // logged only
        installedMemory = 16384;
    } else {
        installedMemory = static_cast<int32_t>(memoryKb / 1024);
    }

    mainSettings.get()->loadFile(L"%AppData%/velmo2.ini");
    mainSettings.get()->setSaveFlag(true);
}

SettingService::SettingService() {
    loadConf(style, L"style.conf");
    color = {"Color", &style};
    layout = {"Layout", &style};
    font = {"Font", &style};
    format = {"Format", &style};
    loadConf(effect, L"effect.conf");
    const DpiReader reader = dpiReader().load();
    scaleForDpi(reader != nullptr ? reader() : Platform::os::systemDpi());
    for (const auto& callback : loadedCallbacks()) callback(*this);
}

SettingService::DpiReader SettingService::setDpiReader(DpiReader reader) { return dpiReader().exchange(reader); }
SettingService::InputTimingsReader SettingService::setInputTimingsReader(InputTimingsReader reader) {
    return timingsReader().exchange(reader);
}

void SettingService::scaleForDpi(uint32_t dpi) {
    if (system.mainSettings.get()->getValue("Direct3D", "HighDpiMode").toInt(0) == 0) return;
    if (dpi == 96) return;
    const float factor = static_cast<float>(dpi) / 96.0f;
    system.uiScale = factor;
    for (auto& [key, value] : style.findOrCreateSection("Layout")) {
        try {
            value.text = scaled(::System::stoi(value.text), factor);
        } catch (const std::exception&) {
        }
    }
    for (auto& [key, value] : style.findOrCreateSection("Font")) {
        const auto pieces = value.split(",");
        try {
            std::string text = scaled(::System::stoi(pieces[0].text), factor);
            if (pieces.size() > 1) text += "," + pieces[1].text;
            value.text = std::move(text);
        } catch (const std::exception&) {
        }
    }
}

void SettingService::addLoadedCallback(std::function<void(SettingService&)> callback) {
    loadedCallbacks().push_back(std::move(callback));
}

void SettingService::bindValue(int32_t& variable, std::function<int32_t(SettingService&)> reader) {
    variable = 0;
    addLoadedCallback([&variable, reader = std::move(reader)](SettingService& service) { variable = reader(service); });
}

}  // namespace Setting
