#pragma once
// The process entry: builds the services in their fixed order, runs the main
// loop and tears everything down in reverse. The exit code is always 0.
#include <functional>

#include "core/ServiceStack.h"

namespace App {

struct Steps {
    // Builds every service and panel into the stack, in creation order.
    std::function<void(System::ServiceStack&)> build;
    // Layout, start-up listeners and the main loop; returns on quit.
    std::function<void()> run;
    // Exit listeners, player and render threads: what comes before the teardown.
    std::function<void()> shutdown;
};

// The program's own steps.
Steps programSteps();

// Runs the process life with the given steps; returns the exit code (0).
int run(const Steps& steps);

}  // namespace App
