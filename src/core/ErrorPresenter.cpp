#include "core/ErrorPresenter.h"

#include <atomic>

// The installed presenter alone: the default box (PresentError.cpp) is kept
// out of this file, so that code that only hands texts on to the presenter
// links none of the window layer.
namespace System {
namespace {
std::atomic<ErrorPresenter> gPresenter{nullptr};
}  // namespace

ErrorPresenter setErrorPresenter(ErrorPresenter presenter) { return gPresenter.exchange(presenter); }

bool presentErrorIfInstalled(const std::wstring& text) {
    const ErrorPresenter present = gPresenter.load();
    if (present) present(text);
    return present != nullptr;
}

}  // namespace System
