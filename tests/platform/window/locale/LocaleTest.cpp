// A program of its own: GTK must start here, not in an earlier test.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "platform/window/TopLevel.h"

namespace {
namespace W = Platform::window;

TEST(GtkStart, NumbersStayInTheCLocale) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY: run under xvfb-run";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no comma-decimal locale installed";
    std::setlocale(LC_ALL, "C");
    // GTK takes every category from the environment when it starts.
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    W::WindowDesc desc;
    desc.procedure = W::defWindowProc;
    W::WindowHandle w = W::createWindow(desc);
    unsetenv("LC_ALL");
    ASSERT_NE(w, nullptr);
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    // The program's other categories are kept; GTK gets its character type.
    EXPECT_STREQ(std::setlocale(LC_MESSAGES, nullptr), "C");
    EXPECT_STRNE(std::setlocale(LC_CTYPE, nullptr), "C");
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", 1.5);
    EXPECT_STREQ(text, "1.5");
    W::destroyWindow(w);
}

}  // namespace
