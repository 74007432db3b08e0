// The footer bar: its texts redraw only when they change, the progress
// message over its bar with the wait cursor, and a long left text kept clear
// of the right one.
#include "ui/framework/FooterBar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/draw2d/Brush.h"
#include "ui/framework/DockFixture.h"
#include "ui/framework/StyleMetrics.h"

namespace {

using Cursor = Window::WindowMouseService::MouseCursor;

class Footer : public DockWindow {
protected:
    void SetUp() override {
        DockWindow::SetUp();
        service->updateLayout();
        footer = service->footer.get();
        ASSERT_NE(footer, nullptr);
        ASSERT_NE(footer->textFormat, nullptr);
        top = service->height - Window::FooterHeight;
    }
    bool withTextFormats() const override { return true; }
    uint32_t pixel(int32_t x, int32_t y) { return service->target->pixel(x, y) & 0xFFFFFF; }
    // Paints over the footer, so that only a redraw brings it back.
    void smear() {
        const Platform::draw2d::SolidColorBrush red{{1, 0, 0, 1}};
        service->beginDraw();
        service->fillRectangle(0, top, service->width, service->height, red);
        service->endDraw();
        ASSERT_EQ(pixel(1, top + 1), 0xFF0000u);
    }
    // The columns of the bar on the footer's first row (no text reaches it).
    int32_t barWidth() {
        int32_t x = 0;
        while (x < service->width && pixel(x, top + 1) == kProgress1) ++x;
        return x;
    }

    Window::FooterBar* footer = nullptr;
    int32_t top = 0;
};

TEST_F(Footer, TextsRedrawOnlyWhenOneChanged) {
    const std::wstring left = L"scene 1", right = L"00:00:01";
    footer->setText(&left, &right);
    smear();
    footer->setText(&left, &right);
    footer->setText(nullptr, nullptr);
    EXPECT_EQ(pixel(1, top + 1), 0xFF0000u) << "nothing changed, nothing drawn";
    const std::wstring later = L"00:00:02";
    footer->setText(nullptr, &later);
    EXPECT_EQ(pixel(1, top + 1), kFooter);
    EXPECT_EQ(footer->leftText, left);
    EXPECT_EQ(footer->rightText, later);
}

TEST_F(Footer, AProgressMessageShowsItsBarAndTheWaitCursor) {
    Window::WindowMouseService& router = *Window::WindowMouseService::get();
    const int32_t width = service->width;
    footer->setProgress(L"Saving...", nullptr, 0.0f);
    EXPECT_EQ(footer->message, L"Saving...");
    EXPECT_EQ(router.currentCursor, &Cursor::Wait);
    EXPECT_EQ(barWidth(), 0) << "no bar at 0";
    EXPECT_EQ(pixel(width / 2, top + 1), kProgress0);

    const std::wstring detail = L"40%";
    footer->setProgress(L"Exporting", &detail, 0.4f);
    EXPECT_EQ(footer->message, L"Exporting 40%");
    EXPECT_EQ(barWidth(), int32_t(float(width) * 0.4f));
    // The same message: only the bar moves, the cursor is left alone.
    router.currentCursor = &Cursor::Hand;
    footer->setProgress(L"Exporting", &detail, 0.5f);
    EXPECT_EQ(barWidth(), int32_t(float(width) * 0.5f));
    EXPECT_EQ(router.currentCursor, &Cursor::Hand);
    // Not a number: stored and drawn without a bar.
    footer->setProgress(L"Exporting", &detail, std::nanf(""));
    EXPECT_EQ(barWidth(), 0);

    // An empty message ends the display, also when a detail comes with it.
    footer->setProgress(L"", &detail, 0.0f);
    EXPECT_TRUE(footer->message.empty());
    EXPECT_EQ(router.currentCursor, &Cursor::Arrow);
    EXPECT_EQ(pixel(width / 2, top + 1), kFooter);
}

TEST_F(Footer, ALongLeftTextEndsBeforeTheRightText) {
    const std::wstring left(400, L'W'), right = L"right";
    footer->setText(&left, &right);
    const int32_t p = Window::FooterHeight / 3;
    const int32_t rightX = service->width - int32_t(footer->textFormat->getTextWidth(right)) - p;
    const auto inked = [&](int32_t from, int32_t to) {
        int32_t count = 0;
        for (int32_t x = from; x < to; ++x)
            for (int32_t y = top; y < service->height; ++y) count += pixel(x, y) != kFooter;
        return count;
    };
    EXPECT_GT(inked(p, rightX - 2 * p), 0) << "the left text is drawn";
    EXPECT_EQ(inked(rightX - p, rightX), 0) << "and cut a gap before the right text";
    EXPECT_GT(inked(rightX, service->width), 0) << "the right text is drawn";
}

}  // namespace
