#pragma once
#include <exception>

// Where the core layer sends an exception the user must see (a failed
// clipboard write, an exception posted from a worker). The program installs
// the dialog at start-up; until then the exception is logged.
namespace System {

using ExceptionPresenter = void (*)(const std::exception& e);

// Returns the presenter installed before; none restores the logging default.
ExceptionPresenter setExceptionPresenter(ExceptionPresenter presenter);
void presentException(const std::exception& e);

// Installs a presenter for the life of the scope.
class ExceptionPresenterScope {
public:
    explicit ExceptionPresenterScope(ExceptionPresenter presenter) : previous_(setExceptionPresenter(presenter)) {}
    ~ExceptionPresenterScope() { setExceptionPresenter(previous_); }
    ExceptionPresenterScope(const ExceptionPresenterScope&) = delete;
    ExceptionPresenterScope& operator=(const ExceptionPresenterScope&) = delete;

private:
    ExceptionPresenter previous_;
};

}  // namespace System
