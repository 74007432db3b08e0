#include "core/TranslateService.h"

#include <atomic>
#include <stdexcept>

#include "core/Exception.h"
#include "core/File.h"
#include "core/FileName.h"
#include "core/IniFile.h"
#include "core/NoticePresenter.h"
#include "core/SettingService.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "platform/os/FileSystem.h"
#include "platform/os/SystemInfo.h"

namespace Translate {
namespace {

std::atomic<bool> g_active{false};

std::function<void()>& rebuildHandler() {
    static std::function<void()> handler;
    return handler;
}

constexpr const char* kSections[] = {"Effect", "Message", "Menu", "Dialog", "Name"};

// Backslash and n is a line break; there is no other escape.
std::wstring unescape(std::wstring text) {
    System::replaceAll(text, L"\\n", L"\n");
    return text;
}

bool japaneseUi() {
    const std::string language = Platform::os::userUiLanguage();
    return language.size() >= 2 && language[0] == 'j' && language[1] == 'a' &&
           (language.size() == 2 || language[2] == '_' || language[2] == '.' || language[2] == '@');
}

}  // namespace

TranslateService::TranslateService() : binding_(group_, Setting::SettingService::mainSettings()) {
    if (System::IniFile* settings = Setting::SettingService::mainSettings())
        group_.load(*settings);
    else
        languageParameter_.reset();
    loadLanguage();
}

bool TranslateService::isActive() { return g_active.load(std::memory_order_acquire); }

const wchar_t* TranslateService::translate(Table table, const wchar_t* text) const {
    if (text == nullptr) return nullptr;
    const auto& map = tables_[static_cast<int32_t>(table)];
    const auto found = map.find(text);
    return found == map.end() ? text : found->second.c_str();
}

const wchar_t* translated(TranslateService::Table table, const wchar_t* text) {
    const TranslateService* service = TranslateService::get();
    return service && TranslateService::isActive() ? service->translate(table, text) : text;
}

std::wstring TranslateService::getMenuText(const std::wstring& text) const {
    return isActive() ? std::wstring(translate(Table::Menu, text.c_str())) : text;
}

void TranslateService::loadLanguage() {
    try {
        if (language_ == L"*") {
            language_.clear();
            if (!japaneseUi()) {
                const auto list = getLanguageList();
                if (list.size() >= 2) language_ = list[1];
            }
        }
        if (language_.empty()) {
            g_active.store(false);
            return;
        }
        const std::wstring path = System::FileName::getExpandedPath((L"%Language%/" + language_ + L".vln2").c_str());
        {
            // The ini reader reads a missing file as nothing; this open names it in the log instead.
            System::File probe;
            probe.open(path, System::File::kRead);
        }
        System::IniFile document;
        document.loadFile(path);
        for (int32_t i = 0; i < 5; ++i) {
            auto& table = tables_[i];
            table.clear();
            for (const auto& [rawKey, value] : document.getSection(kSections[i]).keys()) {
                std::wstring key = unescape(System::utf8ToWide(rawKey));
                std::wstring text = value.text.empty() ? key : unescape(System::utf8ToWide(value.text));
                table.emplace(std::move(key), std::move(text));
            }
        }
        g_active.store(true);
    } catch (const std::exception&) {
        // Logged where it was built; the built-in texts stay.
        language_.clear();
        g_active.store(false);
    }
}

void TranslateService::updateLanguage() {
    loadLanguage();
    if (rebuildHandler()) rebuildHandler()();
}

std::vector<std::wstring> TranslateService::getLanguageList() const {
    std::vector<std::wstring> list{L"Default"};
    const std::wstring folder = System::FileName::getExpandedPath(L"%Language%");
    for (const auto& entry : System::File::getFileList(folder + System::kPathSeparator + L"*.vln2"))
        list.push_back(System::FileName::getBaseName(entry.name));
    return list;
}

void TranslateService::registerLanguageFile(const std::wstring& path) {
    constexpr const char* kScope = "Translate::TranslateService::registerLanguageFile";
    const size_t slash = path.rfind(System::kPathSeparator);
    const std::wstring fileName = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const std::wstring target = System::FileName::getExpandedPath(L"%Language%") + System::kPathSeparator + fileName;
    if (Platform::failed(Platform::os::copyFile(System::wideToUtf8(path), System::wideToUtf8(target))))
        throw System::lastErrorException("CopyFile", kScope);
    language_ = System::FileName::getBaseName(fileName);
    updateLanguage();

    const wchar_t* text = L"言語ファイルを設定しました";
    if (isActive()) text = translate(Table::Message, text);
    System::presentNotice(text);
}

void TranslateService::setRebuildHandler(std::function<void()> handler) { rebuildHandler() = std::move(handler); }

std::wstring translateListItem(const std::map<int32_t, std::wstring>& items, int32_t key) {
    const auto found = items.find(key);
    if (found == items.end()) throw std::out_of_range("invalid map<K, T> key");
    const TranslateService* service = TranslateService::get();
    if (!TranslateService::isActive() || service == nullptr) return found->second;
    return service->translate(TranslateService::Table::Effect, found->second.c_str());
}

}  // namespace Translate
