#pragma once
#include <vector>

#include "platform/window/MessageBox.h"

// Answers every message box with OK for the life of the object, keeps what
// each one was asked, and puts the previous hook back afterwards.
struct ScriptedBoxes {
    std::vector<Platform::window::MessageBoxRequest> shown;
    Platform::window::MessageBoxHook previous;

    ScriptedBoxes() {
        previous = Platform::window::setMessageBoxHook([this](const Platform::window::MessageBoxRequest& r) {
            shown.push_back(r);
            return Platform::window::kIdOk;
        });
    }
    ~ScriptedBoxes() { Platform::window::setMessageBoxHook(previous); }
};
