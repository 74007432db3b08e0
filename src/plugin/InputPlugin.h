#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/ConfigString.h"

// A way of reading media: opens a path into an InputFile. Each plug-in has a
// settings section "Input." + its name with its priority (smaller is tried
// first) and its own extension list ("ext", empty for the filter's own).
namespace Plugin {

class InputFile;

class InputPlugin {
public:
    static constexpr int32_t kVideo = 1;
    static constexpr int32_t kAudio = 2;
    static constexpr int32_t kSetting = 4;
    static constexpr int32_t kImage = 8;

    InputPlugin();
    virtual ~InputPlugin();
    InputPlugin(const InputPlugin&) = delete;
    InputPlugin& operator=(const InputPlugin&) = delete;

    // Empty when this plug-in cannot read the file; may throw on decoder errors.
    virtual std::shared_ptr<InputFile> open(const std::wstring& path) = 0;
    // The base throws "not implement.".
    virtual void showSetting(void* ownerWindow);

    // Takes the registration counter as the default priority and loads the
    // section "Input." + name from the main settings.
    void initSetting(int32_t defaultPriority);
    // The "ext" text split at commas, else the extensions of the file filter.
    std::vector<std::wstring> getExtList() const;
    // Stores the text, or "" when it is empty or names exactly the filter's own list.
    void setExtList(const std::wstring& text);
    const std::wstring& extText() const { return ext_; }
    int32_t priority() const { return priority_; }
    void setPriority(int32_t priority) { priority_ = priority; }
    const std::string& section() const { return section_; }

    std::wstring name;
    std::wstring filter;  // description/pattern pairs, each NUL-terminated, then one more NUL
    std::wstring information;
    int32_t flags = 0;

private:
    struct Settings;
    std::string section_;
    int32_t priority_ = 0;
    std::wstring ext_;
    std::unique_ptr<Settings> settings_;
};

}  // namespace Plugin
