#pragma once
#include <functional>

namespace System {

// std::bad_function_call with the text the program shows for it.
class BadFunctionCall : public std::bad_function_call {
public:
    const char* what() const noexcept override { return "bad function call"; }
};

}  // namespace System
