#include "platform/os/SystemInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Sets or clears one variable for the life of the object, restoring it after.
class Variable {
public:
    Variable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~Variable() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SystemInfo, TheDisplaysDpiScalesAndTheVariablesOverrideIt) {
    const struct {
        const char* name;
        double resolution;
        int32_t scale;
        const char* gdkScale;
        const char* gdkDpiScale;
        uint32_t dpi;
    } cases[] = {
        {"plain display", 96, 1, nullptr, nullptr, 96},
        {"high resolution", 144, 1, nullptr, nullptr, 144},
        {"scaled monitor", 96, 2, nullptr, nullptr, 192},
        {"both", 120, 2, nullptr, nullptr, 240},
        {"display without a resolution", -1, 1, nullptr, nullptr, 96},
        {"absurd scale", 96, 0, nullptr, nullptr, 96},
        {"GDK_SCALE replaces the monitor's", 96, 2, "1", nullptr, 96},
        {"GDK_SCALE on a plain display", 96, 1, "2", nullptr, 192},
        {"GDK_DPI_SCALE replaces the resolution", 144, 1, nullptr, "1.25", 120},
        {"both variables", 144, 2, "3", "0.5", 144},
        {"unusable variables are ignored", 120, 2, "zero", "x", 240},
        {"negative variables are ignored", 120, 1, "-2", "-1", 120},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Variable scale("GDK_SCALE", c.gdkScale);
        Variable dpiScale("GDK_DPI_SCALE", c.gdkDpiScale);
        EXPECT_EQ(Platform::os::systemDpi(c.resolution, c.scale), c.dpi);
    }
    Variable scale("GDK_SCALE", "2");
    Variable dpiScale("GDK_DPI_SCALE", nullptr);
    EXPECT_EQ(Platform::os::systemDpi(), 192u);  // no display: the variables alone
}

}  // namespace
