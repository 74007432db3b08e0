#pragma once
#include <exception>

#include "core/HookScope.h"

// Where the core layer sends an exception the user must see (a failed
// clipboard write, an exception posted from a worker). The program installs
// the dialog at start-up; until then the exception is logged.
namespace System {

using ExceptionPresenter = void (*)(const std::exception& e);

// Returns the presenter installed before; none restores the logging default.
ExceptionPresenter setExceptionPresenter(ExceptionPresenter presenter);
void presentException(const std::exception& e);

// Installs a presenter for the life of the scope.
class ExceptionPresenterScope : public HookScope<ExceptionPresenter> {
public:
    explicit ExceptionPresenterScope(ExceptionPresenter presenter) : HookScope(setExceptionPresenter, presenter) {}
};

}  // namespace System
