#include "effect/MovementParamsManager.h"

#include <algorithm>

#include "core/ErrorPresenter.h"
#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"

namespace Effect {

namespace {

void showError(const std::wstring& text) {
    if (!System::presentErrorIfInstalled(text))
        System::Log::error("Effect::MovementParamsManager", L"%ls", text.c_str());
}

std::wstring stemOf(const std::wstring& path) {
    std::wstring name = path;
    if (const size_t slash = name.find_last_of(L"\\/"); slash != std::wstring::npos) name.erase(0, slash + 1);
    if (const size_t dot = name.rfind(L'.'); dot != std::wstring::npos) name.erase(dot);
    return name;
}

}  // namespace

void MovementParamsManager::loadMovementParams() {
    params_.clear();
    registerMovementParams(L"%AppInstall%" + std::wstring(1, System::kPathSeparator) + L"preset.params", true);
    const std::wstring folder = System::FileName::getExpandedPath(L"%Default%") + System::kPathSeparator;
    for (const System::File::FileEntry& file : System::findFilesByPattern(folder + L"*.params"))
        registerMovementParams(file.name, false);
}

void MovementParamsManager::registerMovementParams(const std::wstring& path, bool builtIn) {
    try {
        std::wstring expanded = path;
        System::FileName::expandVariable(expanded);
        const std::wstring stem = stemOf(expanded);
        const auto entries = MovementParamsDefine::readParamsFile(expanded);
        for (const auto& [name, valuesText] : entries) {
            std::wstring key;
            if (entries.size() == 1)
                key = stem;
            else if (builtIn)
                key = System::utf8ToWide(name);
            else
                key = System::utf8ToWide(name) + L"@" + stem;
            const int32_t order = counter_++;
            auto define = std::make_unique<MovementParamsDefine>(key, valuesText, order);
            if (params_.count(key)) {
                showError(L"Failed to register movement params. [" + key +
                          L"]\n\nDuplicate params with the same key exist.");
                continue;
            }
            params_.emplace(key, std::move(define));
            System::Log::info("Effect::MovementParamsManager::registerMovementParams", "register movement params [%s]",
                              System::wideToUtf8(key).c_str());
        }
    } catch (const std::exception& e) {
        showError(L"Failed to register movement params. [" + path + L"]\n\n" + System::utf8ToWide(e.what()));
    }
}

std::vector<MovementParamsDefine*> MovementParamsManager::getMenuList() const {
    std::vector<MovementParamsDefine*> list;
    for (const auto& [key, define] : params_) list.push_back(define.get());
    std::sort(list.begin(), list.end(),
              [](const MovementParamsDefine* a, const MovementParamsDefine* b) { return a->order < b->order; });
    return list;
}

std::vector<const std::wstring*> MovementParamsManager::getLabelList() const {
    std::vector<const std::wstring*> labels;
    for (const MovementParamsDefine* define : getMenuList()) {
        if (define->label.empty()) continue;
        if (std::none_of(labels.begin(), labels.end(), [&](const std::wstring* l) { return *l == define->label; }))
            labels.push_back(&define->label);
    }
    return labels;
}

const MovementParamsDefine* MovementParamsManager::find(const std::wstring& key) const {
    const auto found = params_.find(key);
    return found == params_.end() ? nullptr : found->second.get();
}

}  // namespace Effect
