#pragma once
#include <string>

// Where the core layer sends a notice for the user (a language file was
// registered). The program installs the dialog at start-up; until then the
// notice is logged.
namespace System {

using NoticePresenter = void (*)(const std::wstring& text);

// Returns the presenter installed before; none restores the logging default.
NoticePresenter setNoticePresenter(NoticePresenter presenter);
void presentNotice(const std::wstring& text);

// Installs a presenter for the life of the scope.
class NoticePresenterScope {
public:
    explicit NoticePresenterScope(NoticePresenter presenter) : previous_(setNoticePresenter(presenter)) {}
    ~NoticePresenterScope() { setNoticePresenter(previous_); }
    NoticePresenterScope(const NoticePresenterScope&) = delete;
    NoticePresenterScope& operator=(const NoticePresenterScope&) = delete;

private:
    NoticePresenter previous_;
};

}  // namespace System
