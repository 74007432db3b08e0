#include "ui/dialogs/FileDialogs.h"

#include <string_view>

#include "core/EventCommandPost.h"
#include "core/FileName.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "platform/window/FileDialog.h"
#include "ui/dialogs/BoxOwner.h"
#include "ui/dialogs/FileDialogTemplate.h"

namespace Dialog {
namespace {
namespace W = Platform::window;

// The entries of a filter string; a pattern list splits at ";".
std::vector<W::FileFilterEntry> filterEntries(const wchar_t* filter) {
    std::vector<W::FileFilterEntry> entries;
    if (filter == nullptr) return entries;
    for (const wchar_t* at = filter; *at != L'\0';) {
        const std::wstring name(at);
        at += name.size() + 1;
        const std::wstring patterns(at);
        if (patterns.empty()) break;  // a name without patterns ends the string
        at += patterns.size() + 1;
        W::FileFilterEntry entry{System::wideToUtf8(name), {}};
        std::wstring_view rest(patterns);
        while (!rest.empty()) {
            const size_t end = rest.find(L';');
            const std::wstring_view pattern = rest.substr(0, end);
            if (!pattern.empty()) entry.patterns.push_back(System::wideToUtf8(std::wstring(pattern)));
            rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool runDialog(std::wstring& path, const wchar_t* filter, bool save, const wchar_t* title, FileDialogTemplate* extra) {
    stopPlayback();
    W::FileDialogRequest request;
    request.owner = Event::commandWindow();
    request.save = save;
    request.overwritePrompt = save;
    request.filters = filterEntries(filter);
    request.path = System::wideToUtf8(path);
    if (filter != nullptr) {
        request.filterIndex = System::FileName::getFilterIndex(filter, path.c_str());
        const std::wstring extension =
            System::FileName::getFilterExt(filter, request.filterIndex == 0 ? 0 : request.filterIndex - 1);
        if (extension != L"*") request.defaultExtension = System::wideToUtf8(extension);
    }
    if (title != nullptr) {
        request.title = System::wideToUtf8(Translate::translated(Translate::TranslateService::Table::Dialog, title));
    }
    request.strip = save ? extra : nullptr;
    const std::optional<std::string> chosen = W::fileDialog(request);
    if (!chosen) return false;
    path = System::utf8ToWide(*chosen);
    return true;
}
}  // namespace

bool openFileDialog(std::wstring& path, const wchar_t* filter) {
    return runDialog(path, filter, false, nullptr, nullptr);
}

bool saveFileDialog(std::wstring& path, const wchar_t* filter, const wchar_t* title, FileDialogTemplate* extra) {
    return runDialog(path, filter, true, title, extra);
}

}  // namespace Dialog
