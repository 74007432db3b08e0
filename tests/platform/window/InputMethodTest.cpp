// The window's input method: text composed through the GTK context reaches
// the window procedure as composition messages, each committed text read
// while its own message is handled, and taking the context away ends a
// composition in progress.
#include "platform/window/InputMethod.h"

#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"

namespace {
namespace W = Platform::window;

std::vector<std::string>* g_log = nullptr;

std::string utf8(const std::u16string& text) {
    gchar* out = g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(text.data()), glong(text.size()), nullptr,
                                 nullptr, nullptr);
    std::string s = out != nullptr ? out : "";
    g_free(out);
    return s;
}

intptr_t logProc(W::WindowHandle w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (g_log != nullptr) {
        switch (message) {
        case W::kWmImeStartComposition: g_log->push_back("start"); break;
        case W::kWmImeEndComposition: g_log->push_back("end"); break;
        case W::kWmImeComposition:
            if ((lParam & W::kGcsResultStr) != 0)
                g_log->push_back("result " + utf8(W::compositionResult(w)));
            else
                g_log->push_back("composing");
            break;
        case W::kWmChar:
            g_log->push_back("char " + std::to_string(wParam) + " [" + utf8(W::compositionResult(w)) + "]");
            break;
        default: break;
        }
    }
    return W::defWindowProc(w, message, wParam, lParam);
}

class InputMethod : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY: run under xvfb-run";
        window = W::createWindow({.x = 100, .y = 100, .width = 120, .height = 80, .procedure = logProc});
        ASSERT_NE(window, nullptr);
        context = static_cast<GtkIMContext*>(W::inputContextOf(window));
        ASSERT_NE(context, nullptr);
        g_log = &log;
    }
    void TearDown() override {
        g_log = nullptr;
        if (window != nullptr) W::destroyWindow(window);
    }
    std::vector<std::string> drain() {
        W::Message m;
        while (W::peekMessage(m, nullptr, 0, 0, W::kPmRemove)) {
            W::translateMessage(m);
            W::dispatchMessage(m);
        }
        std::vector<std::string> out;
        out.swap(log);
        return out;
    }

    W::WindowHandle window = nullptr;
    GtkIMContext* context = nullptr;
    std::vector<std::string> log;
};

TEST_F(InputMethod, EachCommittedTextIsReadWithItsOwnMessage) {
    // Two commits before anything is handled, then a character between them.
    g_signal_emit_by_name(context, "commit", "日本");
    W::postMessage(window, W::kWmChar, 'x', 0);
    g_signal_emit_by_name(context, "commit", "語");
    EXPECT_EQ((std::vector<std::string>{"start", "result 日本", "end", "char 120 []", "start", "result 語", "end"}),
              drain());
    EXPECT_EQ(u"", W::compositionResult(window)) << "outside its message no text is current";
}

TEST_F(InputMethod, AComposedTextArrivesBetweenItsStartAndEnd) {
    g_signal_emit_by_name(context, "preedit-start");
    g_signal_emit_by_name(context, "preedit-changed");
    g_signal_emit_by_name(context, "commit", "かな");
    g_signal_emit_by_name(context, "preedit-end");
    EXPECT_EQ((std::vector<std::string>{"start", "composing", "result かな", "end"}), drain());
}

TEST_F(InputMethod, TakingTheContextAwayEndsACompositionAndGivingItBackKeepsThePlace) {
    ASSERT_TRUE(W::isInputContextAssociated(window)) << "a window starts with its own context";
    g_signal_emit_by_name(context, "preedit-start");
    ASSERT_TRUE(W::associateInputContext(window, false));
    EXPECT_FALSE(W::isInputContextAssociated(window));
    EXPECT_EQ((std::vector<std::string>{"start", "end"}), drain());
    ASSERT_TRUE(W::setCompositionWindow(window, {30, 40}, {10, 20, 110, 60}));
    ASSERT_TRUE(W::setCompositionFont(window, "DejaVu Sans", -12));
    ASSERT_TRUE(W::associateInputContext(window, true));
    W::Point caret;
    W::Rect area;
    std::string family;
    int32_t height = 0;
    ASSERT_TRUE(W::getCompositionWindow(window, caret, area));
    ASSERT_TRUE(W::getCompositionFont(window, family, height));
    EXPECT_EQ(30, caret.x);
    EXPECT_EQ(40, caret.y);
    EXPECT_EQ(110, area.right);
    EXPECT_EQ("DejaVu Sans", family);
    EXPECT_EQ(-12, height);
    EXPECT_FALSE(W::associateInputContext(nullptr, true)) << "no window, no context";
}

}  // namespace
