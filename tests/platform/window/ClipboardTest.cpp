#include "platform/window/Clipboard.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
namespace W = Platform::window;

std::vector<uint8_t> wideBlock(const std::wstring& text) {
    std::vector<uint8_t> block((text.size() + 1) * sizeof(wchar_t), 0);
    std::memcpy(block.data(), text.data(), text.size() * sizeof(wchar_t));
    return block;
}

// A 2 x 1 bitmap block: blue, then half-transparent red.
std::vector<uint8_t> smallDib() {
    std::vector<uint8_t> dib(40 + 8, 0);
    dib[0] = 40;
    dib[4] = 2;
    dib[8] = 1;
    dib[12] = 1;
    dib[14] = 32;
    dib[20] = 8;
    const uint8_t pixels[8] = {255, 0, 0, 255, 0, 0, 255, 128};
    std::memcpy(dib.data() + 40, pixels, 8);
    return dib;
}

TEST(LayerClipboard, OpenIsExclusiveAndWritesNeedIt) {
    EXPECT_FALSE(W::emptyClipboard());
    ASSERT_TRUE(W::openClipboard(nullptr));
    EXPECT_FALSE(W::openClipboard(nullptr));
    EXPECT_EQ(errno, EBUSY);
    EXPECT_TRUE(W::closeClipboard());
    EXPECT_FALSE(W::closeClipboard());
}

TEST(LayerClipboard, TextAndBitmapRoundTrip) {
    ASSERT_TRUE(W::openClipboard(nullptr));
    ASSERT_TRUE(W::emptyClipboard());
    ASSERT_TRUE(W::setClipboardData(W::kCfUnicodeText, wideBlock(L"日本語 text")));
    ASSERT_TRUE(W::setClipboardData(W::kCfDib, smallDib()));
    ASSERT_TRUE(W::closeClipboard());

    ASSERT_TRUE(W::openClipboard(nullptr));
    EXPECT_TRUE(W::isClipboardFormatAvailable(W::kCfUnicodeText));
    std::vector<uint8_t> block;
    ASSERT_TRUE(W::getClipboardData(W::kCfUnicodeText, block));
    EXPECT_EQ(block, wideBlock(L"日本語 text"));
    ASSERT_TRUE(W::getClipboardData(W::kCfDib, block));
    EXPECT_EQ(block, smallDib());
    ASSERT_TRUE(W::closeClipboard());

    // Emptying without putting anything back leaves nothing.
    ASSERT_TRUE(W::openClipboard(nullptr));
    ASSERT_TRUE(W::emptyClipboard());
    ASSERT_TRUE(W::closeClipboard());
    ASSERT_TRUE(W::openClipboard(nullptr));
    EXPECT_FALSE(W::isClipboardFormatAvailable(W::kCfUnicodeText));
    EXPECT_FALSE(W::getClipboardData(W::kCfDib, block));
    ASSERT_TRUE(W::closeClipboard());
}

TEST(LayerClipboard, OtherProgramsSeeUtf8TextBmpAndPng) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY: run under xvfb-run";
    ASSERT_TRUE(W::openClipboard(nullptr));
    ASSERT_TRUE(W::emptyClipboard());
    ASSERT_TRUE(W::setClipboardData(W::kCfUnicodeText, wideBlock(L"é€")));
    ASSERT_TRUE(W::setClipboardData(W::kCfDib, smallDib()));
    ASSERT_TRUE(W::closeClipboard());

    // Read through the X selection, as another program does.
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    gchar* text = gtk_clipboard_wait_for_text(clipboard);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "é€");
    g_free(text);

    GtkSelectionData* bmp = gtk_clipboard_wait_for_contents(clipboard, gdk_atom_intern("image/bmp", FALSE));
    ASSERT_NE(bmp, nullptr);
    const guchar* bytes = gtk_selection_data_get_data(bmp);
    ASSERT_EQ(gtk_selection_data_get_length(bmp), 14 + 48);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[10], 54);  // pixels start after both headers
    EXPECT_EQ(std::vector<uint8_t>(bytes + 14, bytes + 62), smallDib());
    gtk_selection_data_free(bmp);

    GdkPixbuf* png = gtk_clipboard_wait_for_image(clipboard);
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(png), 2);
    EXPECT_EQ(gdk_pixbuf_get_height(png), 1);
    const guchar* p = gdk_pixbuf_get_pixels(png);
    EXPECT_EQ(p[2], 255);  // first pixel blue (RGBA order)
    EXPECT_EQ(p[4], 255);  // second pixel red
    EXPECT_NEAR(p[7], 128, 1);
    g_object_unref(png);
}

TEST(LayerClipboard, BitmapsAPngCannotHoldAreOfferedOnlyAsBmp) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY: run under xvfb-run";
    struct Case {
        const char* what;
        int32_t width, height;
        size_t pixelBytes;
    };
    const Case cases[] = {
        {"wider than an image surface", 40000, 1, 40000 * 4},
        {"lowest height", 1, INT32_MIN, 64},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> dib = smallDib();
        dib.resize(40 + c.pixelBytes, 0x7F);
        for (int i = 0; i < 4; ++i) {
            dib[4 + i] = static_cast<uint8_t>(static_cast<uint32_t>(c.width) >> (8 * i));
            dib[8 + i] = static_cast<uint8_t>(static_cast<uint32_t>(c.height) >> (8 * i));
        }
        ASSERT_TRUE(W::openClipboard(nullptr));
        ASSERT_TRUE(W::emptyClipboard());
        ASSERT_TRUE(W::setClipboardData(W::kCfDib, dib));
        ASSERT_TRUE(W::closeClipboard());

        GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
        GtkSelectionData* png = gtk_clipboard_wait_for_contents(clipboard, gdk_atom_intern("image/png", FALSE));
        if (png != nullptr) {
            EXPECT_LE(gtk_selection_data_get_length(png), 0) << c.what;
            gtk_selection_data_free(png);
        }
        GtkSelectionData* bmp = gtk_clipboard_wait_for_contents(clipboard, gdk_atom_intern("image/bmp", FALSE));
        ASSERT_NE(bmp, nullptr) << c.what;
        EXPECT_EQ(gtk_selection_data_get_length(bmp), static_cast<gint>(14 + dib.size())) << c.what;
        gtk_selection_data_free(bmp);
    }
}

}  // namespace
