#include "edit/EditDialogs.h"

#include <memory>

#include "core/EventCommandPost.h"
#include "core/Log.h"

namespace Edit {
namespace {

template <class T>
std::optional<T> take(std::deque<std::optional<T>>& answers) {
    if (answers.empty()) return std::nullopt;
    std::optional<T> answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

}  // namespace

bool HeadlessDialogs::sceneDialog(const std::wstring& title, bool withName, SceneValues& values) {
    asked.push_back({title, withName, values});
    const auto answer = take(sceneAnswers);
    if (!answer) return false;
    const std::wstring name = values.name;
    values = *answer;
    if (!withName) values.name = name;  // a dialog without the field cannot change it
    return true;
}

bool HeadlessDialogs::inputName(const std::wstring& title, std::wstring& name) {
    Asked question{title, true, {}};
    question.values.name = name;
    asked.push_back(question);
    const auto answer = take(nameAnswers);
    if (!answer || answer->empty()) return false;  // the name is required
    name = *answer;
    return true;
}

bool HeadlessDialogs::aliasDialog(const std::wstring& captionSuffix, std::wstring& name, std::wstring& label) {
    asked.push_back({captionSuffix, true, {}});
    asked.back().values.name = name;
    aliasAsked.emplace_back(name, label);
    const auto answer = take(aliasAnswers);
    if (!answer || answer->first.empty()) return false;  // the name is required
    name = answer->first;
    label = answer->second;
    return true;
}

bool HeadlessDialogs::frameLengthDialog(const std::wstring& title, int32_t, int32_t,
                                        int32_t& frames) {
    Asked question{title, false, {}};
    question.values.rate = frames;  // the prefilled frame count
    asked.push_back(question);
    const auto answer = take(frameAnswers);
    if (!answer) return false;
    frames = *answer;
    return true;
}

bool HeadlessDialogs::saveFileDialog(std::wstring& path, const wchar_t*) {
    Asked question{L"save", false, {}};
    question.values.name = path;
    asked.push_back(question);
    const auto answer = take(saveAnswers);
    if (!answer || answer->empty()) return false;
    path = *answer;
    return true;
}

bool HeadlessDialogs::askOkCancel(const std::wstring& text) {
    System::Log::info("Edit::HeadlessDialogs::askOkCancel", L"%ls", text.c_str());
    return false;
}

void HeadlessDialogs::showError(const std::wstring& text) {
    System::Log::error("Dialog::showError", L"show error dialog.\n%ls", text.c_str());
}

void HeadlessDialogs::postError(const std::wstring& text) {
    auto posted = std::make_unique<std::wstring>(text);
    if (Event::postEventCommand(Event::EventCommandType::ShowError, reinterpret_cast<intptr_t>(posted.get()))) {
        posted.release();  // the event service frees it
        return;
    }
    showError(text);
}

void HeadlessDialogs::showApplicationException(const std::string& text) {
    System::Log::error("Dialog::showException", "show exception dialog.\n%s", text.c_str());
}

}  // namespace Edit
