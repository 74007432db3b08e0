#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/window/DialogWindow.h"

// Answers every dialog window from a queue of answers for the life of the
// object (Cancel once the queue is empty), keeps what each one showed when
// it opened, and puts the previous hook back afterwards. An answer fills
// fields and presses buttons through the dialog window, as a user would.
struct ScriptedDialogs {
    using Dialog = Platform::window::DialogWindow;
    struct Shown {
        std::string caption;
        std::vector<std::pair<std::string, std::string>> fields;  // label (empty: none) and text
        bool okButton = false;
        Platform::window::Point size;
    };
    std::deque<std::function<void(Dialog&)>> answers;
    std::vector<Shown> shown;
    Dialog::Hook previous;

    ScriptedDialogs() {
        previous = Dialog::setHook([this](Dialog& dialog) {
            Shown seen{dialog.caption(), {}, dialog.hasControl(6), dialog.clientSize()};
            std::string label;
            for (int32_t id : dialog.controlIds()) {
                const auto* c = dialog.control(id);
                if (c->kind == Platform::window::DialogControlKind::Static && c->centreVertically) {
                    label = c->text;
                    continue;
                }
                if (c->kind == Platform::window::DialogControlKind::Button) continue;
                seen.fields.emplace_back(label, dialog.text(id));
                label.clear();
            }
            shown.push_back(seen);
            if (answers.empty()) return;
            auto answer = std::move(answers.front());
            answers.pop_front();
            answer(dialog);
        });
    }
    ~ScriptedDialogs() { Dialog::setHook(previous); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // The n-th field (0 first) after the label with the text; 0 when none.
    static int32_t field(const Dialog& dialog, const std::string& label, int n = 0) {
        bool after = false;
        for (int32_t id : dialog.controlIds()) {
            const auto* c = dialog.control(id);
            if (c->kind == Platform::window::DialogControlKind::Static && c->centreVertically) {
                if (after) return 0;
                after = c->text == label;
                continue;
            }
            if (after && n-- == 0) return id;
        }
        return 0;
    }
    // The n-th field of the dialog that is not a label or a button.
    static int32_t nthField(const Dialog& dialog, int n) {
        for (int32_t id : dialog.controlIds()) {
            const auto* c = dialog.control(id);
            if (c->kind == Platform::window::DialogControlKind::Button) continue;
            if (c->kind == Platform::window::DialogControlKind::Static && c->centreVertically) continue;
            if (n-- == 0) return id;
        }
        return 0;
    }
};
