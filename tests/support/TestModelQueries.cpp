#include "support/TestModelQueries.h"

namespace {

// The queries and their installation live as long as the program.
struct Installed {
    TestModelQueries queries;
    Effect::ModelQueriesScope scope{queries};
};

}  // namespace

TestModelQueries& testModel() {
    static Installed installed;
    return installed.queries;
}

namespace {
// Installed at start-up, as the program does.
[[maybe_unused]] TestModelQueries& gInstalled = testModel();
}  // namespace
