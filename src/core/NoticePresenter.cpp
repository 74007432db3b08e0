#include "core/NoticePresenter.h"

#include <atomic>

#include "core/Log.h"

namespace System {

namespace {
std::atomic<NoticePresenter> gPresenter{nullptr};
}  // namespace

NoticePresenter setNoticePresenter(NoticePresenter presenter) { return gPresenter.exchange(presenter); }

void presentNotice(const std::wstring& text) {
    if (const NoticePresenter present = gPresenter.load()) {
        present(text);
        return;
    }
    System::Log::info("System::presentNotice", L"%ls", text.c_str());
}

}  // namespace System
