#include "core/ExceptionPresenter.h"

#include <atomic>

#include "core/Log.h"

namespace System {

namespace {
std::atomic<ExceptionPresenter> gPresenter{nullptr};
}  // namespace

ExceptionPresenter setExceptionPresenter(ExceptionPresenter presenter) { return gPresenter.exchange(presenter); }

void presentException(const std::exception& e) {
    if (const ExceptionPresenter present = gPresenter.load()) {
        present(e);
        return;
    }
    System::Log::error("System::presentException", "%s", e.what());
}

}  // namespace System
