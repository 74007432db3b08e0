#pragma once
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>

namespace Edit {

// The values of the scene dialog.
struct SceneValues {
    std::wstring name;
    int32_t width = 1920;
    int32_t height = 1080;
    int32_t rate = 30;
    int32_t scale = 1;
    int32_t audioRate = 48000;
};

// The modal dialogs, message boxes and the footer text the edit service
// uses. The program installs the window layer's kind at start-up; until then
// the headless kind below stands in.
class EditDialogs {
public:
    virtual ~EditDialogs() = default;

    // The scene dialog prefilled with values; false for Cancel. withName
    // false leaves the name field out.
    virtual bool sceneDialog(const std::wstring& title, bool withName, SceneValues& values) = 0;
    // A one-line name dialog whose text may not be left empty; false for Cancel.
    virtual bool inputName(const std::wstring& title, std::wstring& name) = 0;
    // The alias dialog (a required name and a label that may stay empty)
    // under the caption for what is saved, prefilled; false for Cancel.
    virtual bool aliasDialog(const std::wstring& captionSuffix, std::wstring& name, std::wstring& label) = 0;
    // The frame-length dialog: a seconds field and a frames field kept in
    // step at rate/scale frames per second, prefilled with frames; false for
    // Cancel, else frames holds the frames field (0 up to 2000000000).
    virtual bool frameLengthDialog(const std::wstring& title, int32_t rate, int32_t scale,
                                   int32_t& frames) = 0;
    // The save dialog prefilled with path; filter holds NUL-separated
    // description and pattern pairs. False for Cancel.
    virtual bool saveFileDialog(std::wstring& path, const wchar_t* filter) = 0;
    // The footer's progress text; empty clears it.
    virtual void setFooterText(const std::wstring& text) = 0;
    // An OK / Cancel question with the warning icon (text in the active
    // language); true for OK.
    virtual bool askOkCancel(const std::wstring& text) = 0;
    // An error text (as built in) shown at once.
    virtual void showError(const std::wstring& text) = 0;
    // An error text shown later on the UI thread, from any thread.
    virtual void postError(const std::wstring& text) = 0;
    // The failure that ends the program, in its own box.
    virtual void showApplicationException(const std::string& text) = 0;
};

// Answers the dialogs from queues, one answer per dialog shown; an empty
// queue (or an empty answer) is Cancel. Keeps what each dialog was asked.
// Questions are answered Cancel and texts logged: without a window layer
// nobody could read them.
class HeadlessDialogs : public EditDialogs {
public:
    struct Asked {
        std::wstring title;
        bool withName = false;
        SceneValues values;  // the prefilled values (the name dialog: values.name)
    };

    std::deque<std::optional<SceneValues>> sceneAnswers;
    std::deque<std::optional<std::wstring>> nameAnswers;
    // The alias dialog's answers (name, label); asked keeps its caption
    // suffix as the title, aliasAsked the prefilled name and label.
    std::deque<std::optional<std::pair<std::wstring, std::wstring>>> aliasAnswers;
    std::deque<std::pair<std::wstring, std::wstring>> aliasAsked;  // prefilled name and label
    std::deque<std::optional<std::wstring>> saveAnswers;
    std::deque<std::optional<int32_t>> frameAnswers;
    std::deque<Asked> asked;
    std::deque<std::wstring> footerTexts;

    bool sceneDialog(const std::wstring& title, bool withName, SceneValues& values) override;
    bool inputName(const std::wstring& title, std::wstring& name) override;
    bool aliasDialog(const std::wstring& captionSuffix, std::wstring& name, std::wstring& label) override;
    bool frameLengthDialog(const std::wstring& title, int32_t rate, int32_t scale,
                           int32_t& frames) override;
    bool saveFileDialog(std::wstring& path, const wchar_t* filter) override;
    void setFooterText(const std::wstring& text) override { footerTexts.push_back(text); }
    bool askOkCancel(const std::wstring& text) override;
    void showError(const std::wstring& text) override;
    // Posted to the main window; logged as shown when there is none.
    void postError(const std::wstring& text) override;
    void showApplicationException(const std::string& text) override;
};

}  // namespace Edit
