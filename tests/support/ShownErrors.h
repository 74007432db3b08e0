#pragma once
#include <string>
#include <vector>

#include "core/ErrorPresenter.h"
#include "core/TextConvert.h"

// Records the error texts shown to the user (UTF-8, in order) instead of
// showing them, for the life of the object; puts the previous presenter back.
struct ShownErrors {
    static inline std::vector<std::string> texts;
    System::ErrorPresenter previous;
    ShownErrors() {
        texts.clear();
        previous = System::setErrorPresenter([](const std::wstring& t) { texts.push_back(System::wideToUtf8(t)); });
    }
    ~ShownErrors() { System::setErrorPresenter(previous); }
};
