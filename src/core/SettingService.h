#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "core/IniFile.h"
#include "core/ServiceHolder.h"
#include "platform/os/SystemInfo.h"

// The first service: the three conf files (the user's copy under %AppData%
// merged over the shipped defaults under %AppInstall%), the main settings
// document "velmo2.ini" every setting group binds to, and the desktop values
// the controls need.
namespace Setting {

// A section of a document by name; lookups create what is missing.
struct SectionReference {
    std::string name;
    ::System::IniFile* document = nullptr;
    ::System::IniFile::VALUE& getValue(const std::string& key) const { return document->getValue(name, key); }
};

class SettingService {
public:
    struct System {
        System();
        ::System::IniFile document;  // system.conf
        SectionReference config, frameRate, keyCode;
        ::System::ServiceHolder<::System::IniFile> mainSettings;  // velmo2.ini, saved when released
        int32_t keyRepeatDelay = 500;
        int32_t keyRepeatInterval = 100;
        int32_t caretBlinkTime = 500;
        int32_t dragWidth = 6;
        int32_t dragHeight = 6;
        int32_t doubleClickTime = 500;
        int32_t installedMemory = 0;  // megabytes
        float uiScale = 1.0f;
    };

    SettingService();
    ~SettingService() = default;
    SettingService(const SettingService&) = delete;
    SettingService& operator=(const SettingService&) = delete;

    // With "HighDpiMode" set and a DPI other than 96, scales the style's
    // [Layout] sizes and [Font] sizes in memory.
    void scaleForDpi(uint32_t dpi);

    // How the service reads the dots per inch it scales for once its files are
    // loaded. The program installs the display's reading of the window layer
    // at start-up; without one the desktop's variables alone count.
    using DpiReader = uint32_t (*)();
    static DpiReader setDpiReader(DpiReader reader);  // returns the one installed before
    // How the service reads the desktop's input timings (double-click time,
    // drag box, key repeat, caret blink). The program installs the window
    // layer's reading of the desktop settings at start-up; without one the
    // usual defaults count.
    using InputTimingsReader = ::Platform::Result (*)(::Platform::os::InputTimings&);
    static InputTimingsReader setInputTimingsReader(InputTimingsReader reader);  // returns the one before

    // Runs once with the service after its files are loaded (register before it exists).
    static void addLoadedCallback(std::function<void(SettingService&)> callback);
    // Sets variable to 0 now and to reader(service) once the settings exist.
    static void bindValue(int32_t& variable, std::function<int32_t(SettingService&)> reader);

    static SettingService* get() { return ::System::ServiceSlot<SettingService>::instance; }
    // The main settings document, or null before the service exists.
    static ::System::IniFile* mainSettings() { return ::System::ServiceSlot<::System::IniFile>::instance; }

    System system;
    ::System::IniFile style;  // style.conf
    SectionReference color, layout, font, format;
    ::System::IniFile effect;  // effect.conf
};

}  // namespace Setting
