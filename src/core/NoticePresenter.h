#pragma once
#include <string>

#include "core/HookScope.h"

// Where the core layer sends a notice for the user (a language file was
// registered). The program installs the dialog at start-up; until then the
// notice is logged.
namespace System {

using NoticePresenter = void (*)(const std::wstring& text);

// Returns the presenter installed before; none restores the logging default.
NoticePresenter setNoticePresenter(NoticePresenter presenter);
void presentNotice(const std::wstring& text);

// Installs a presenter for the life of the scope.
class NoticePresenterScope : public HookScope<NoticePresenter> {
public:
    explicit NoticePresenterScope(NoticePresenter presenter) : HookScope(setNoticePresenter, presenter) {}
};

}  // namespace System
