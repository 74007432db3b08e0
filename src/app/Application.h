#pragma once
// The process entry: builds the services in their fixed order, runs the main
// loop and tears everything down in reverse. The exit code is always 0.
#include <exception>
#include <functional>

#include "core/ServiceStack.h"

namespace App {

struct Steps {
    // Builds every service and panel into the stack, in creation order.
    std::function<void(System::ServiceStack&)> build;
    // Layout and start-up listeners; an exception here ends start-up like a
    // failing service.
    std::function<void()> startup;
    // The main loop; returns on quit.
    std::function<void()> run;
    // An exception escaped the main loop: the emergency path. Without it the
    // exception ends the program like a start-up failure.
    std::function<void(const std::exception&)> loopException;
    // Exit listeners, player and render threads: what comes before the teardown.
    std::function<void()> shutdown;
};

// The program's own steps.
Steps programSteps();

// Gets, translates and dispatches the UI thread's messages until the quit message.
void runMessageLoop();

// Runs the process life with the given steps; returns the exit code (0).
int run(const Steps& steps);

}  // namespace App
