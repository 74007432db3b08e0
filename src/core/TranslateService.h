#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/ConfigParameterBinding.h"
#include "core/ConfigString.h"
#include "core/ServiceHolder.h"

// Every text the user sees is written in the program as its built-in
// Japanese text and passes through the table of its kind on its way to the
// screen. While a language is active a text a table holds shows translated.
namespace Translate {

class TranslateService {
public:
    enum class Table : int32_t { Effect = 0, Message = 1, Menu = 2, Dialog = 3, Name = 4 };

    TranslateService();
    TranslateService(const TranslateService&) = delete;
    TranslateService& operator=(const TranslateService&) = delete;

    static TranslateService* get() { return System::ServiceSlot<TranslateService>::instance; }
    // Whether a language is active; callers test it before looking up.
    static bool isActive();

    // Null gives null; a text the table holds its translation (valid until
    // the next load); any other text itself.
    const wchar_t* translate(Table table, const wchar_t* text) const;
    // The Menu table's translation while a language is active, else the text.
    std::wstring getMenuText(const std::wstring& text) const;

    // Fills the tables from "%Language%/<Language>.vln2" ("*" picks by the
    // user's UI language, empty means the built-in texts). Never throws.
    void loadLanguage();
    // Reloads and has the menus, the window and the panels rebuild their texts.
    void updateLanguage();
    // "Default", then the base name of every "%Language%/*.vln2".
    std::vector<std::wstring> getLanguageList() const;
    // Copies the file into %Language%, makes it the language and says so.
    void registerLanguageFile(const std::wstring& path);

    const std::wstring& language() const { return language_; }
    void setLanguage(const std::wstring& language) { language_ = language; }

    // What the window layer does after a reload (menus made again, repaint,
    // setting panels refreshed); installed by it, nothing until then.
    static void setRebuildHandler(std::function<void()> handler);

private:
    std::unordered_map<std::wstring, std::wstring> tables_[5];
    std::wstring language_;
    System::Config::ParameterGroup group_{"Translate"};
    System::Config::String languageParameter_{group_, "Language", &language_, L"*"};
    System::Config::ParameterBinding binding_;
};

// The text through the table while the service exists and a language is
// active; the text itself otherwise (null gives null).
const wchar_t* translated(TranslateService::Table table, const wchar_t* text);

// The text under key, through the Effect table while a language is active;
// a missing key throws std::out_of_range "invalid map<K, T> key".
std::wstring translateListItem(const std::map<int32_t, std::wstring>& items, int32_t key);

}  // namespace Translate
