// Notices through the session's notification server. Without a session bus
// nothing is sent and the caller is never held; run by notify-server.py
// (VELMO_NOTIFY_LOG names its log) the server receives what was shown.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/notify/Notify.h"

namespace {

namespace N = Platform::notify;

// Sets or unsets an environment variable for the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::vector<std::string> logLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        if (line != "ready") lines.push_back(line);
    return lines;
}

TEST(Notification, WithoutASessionBusNothingIsSentAndTheCallerGoesOn) {
    const ScopedEnv address("DBUS_SESSION_BUS_ADDRESS", nullptr);
    const ScopedEnv runtime("XDG_RUNTIME_DIR", "/nonexistent");
    std::vector<std::string> errors;
    const N::ErrorListener previous = N::setErrorListener([&](const std::string& text) { errors.push_back(text); });
    EXPECT_FALSE(N::sessionBusKnown());
    N::show({"Velmo Kirta2", "done", "", 5000});
    N::close();
    N::flush();
    (void)N::setErrorListener(previous);
    EXPECT_EQ(errors, (std::vector<std::string>{"no session bus: the notice is not shown"}));
}

TEST(Notification, TheServerIsShownTheNoticeAndToldToCloseIt) {
    const char* log = std::getenv("VELMO_NOTIFY_LOG");
    if (log == nullptr) GTEST_SKIP() << "run by tests/support/notify-server.py";
    std::vector<std::string> errors;
    const N::ErrorListener previous = N::setErrorListener([&](const std::string& text) { errors.push_back(text); });
    const size_t before = logLines(log).size();
    N::show({"Velmo Kirta2", "ファイル出力が完了しました", "/icons/107.png", 5000});
    // A second notice closes the first.
    N::show({"Velmo Kirta2", "again", "", 5000});
    N::close();
    N::close();  // nothing shown any more: not sent
    N::flush();
    (void)N::setErrorListener(previous);
    EXPECT_TRUE(errors.empty()) << errors.front();
    std::vector<std::string> lines = logLines(log);
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(before));
    EXPECT_EQ(lines, (std::vector<std::string>{"notify\tVelmo Kirta2\tVelmo Kirta2\tファイル出力が完了しました\t5000\t1\t/icons/107.png",
                                               "close\t1", "notify\tVelmo Kirta2\tVelmo Kirta2\tagain\t5000\t2\t",
                                               "close\t2"}));
}

}  // namespace
