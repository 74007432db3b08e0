#pragma once
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/FileDialog.h"

// Answers every file dialog from a queue of paths (UTF-8) for the life of the
// object, Cancel once the queue is empty, keeps what each one was asked, and
// puts the previous hook back afterwards. Installed before the code under
// test opens a dialog, so no real dialog waits for a user.
struct ScriptedFiles {
    std::deque<std::string> answers;
    std::vector<Platform::window::FileDialogRequest> asked;
    Platform::window::FileDialogHook previous;

    ScriptedFiles() {
        previous = Platform::window::setFileDialogHook(
            [this](const Platform::window::FileDialogRequest& r) -> std::optional<std::string> {
                asked.push_back(r);
                if (answers.empty()) return std::nullopt;
                std::string answer = answers.front();
                answers.pop_front();
                return answer;
            });
    }
    ~ScriptedFiles() { Platform::window::setFileDialogHook(previous); }
    ScriptedFiles(const ScriptedFiles&) = delete;
    ScriptedFiles& operator=(const ScriptedFiles&) = delete;
};
