#pragma once
#include <cstdint>
#include <string>

#include "core/ConfigInt.h"
#include "core/ConfigParameterGroup.h"
#include "core/ConfigString.h"
#include "core/IniFile.h"

// An entry of a user-editable menu (effects, aliases, movements, presets,
// colours, fonts). Label, order and hide start as the given defaults, are
// overridden by the entry's section of the main settings file ("<prefix>.<id>")
// and are written back there when the entry goes.
namespace Menu {

class MenuDefineBase {
public:
    MenuDefineBase(const char* prefix, const std::wstring& id, int32_t defaultOrder, const std::wstring& defaultLabel,
                   bool shown);
    virtual ~MenuDefineBase();
    MenuDefineBase(const MenuDefineBase&) = delete;
    MenuDefineBase& operator=(const MenuDefineBase&) = delete;

    virtual std::wstring getName() const = 0;
    virtual std::wstring getDisplayName() const;

    const std::string& settingsKey() const { return settingsKey_; }
    // Whether the settings file held the entry's section when it was built.
    bool hadSettings() const { return hadSettings_; }

    std::wstring label;  // the submenu it is listed under; empty = top level
    int32_t order = 0;
    int32_t hide = 0;

private:
    std::string settingsKey_;
    bool hadSettings_ = false;
    System::Config::ParameterGroup group_;
    System::Config::String labelParameter_;
    System::Config::Int orderParameter_;
    System::Config::Int hideParameter_;
    // Written back when the entry goes, unless the document went first.
    System::IniFile* document_ = nullptr;
};

}  // namespace Menu
