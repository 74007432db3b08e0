#include "core/Clipboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/ExceptionPresenter.h"
#include "platform/window/Clipboard.h"
#include "support/ScriptedBoxes.h"
#include "ui/dialogs/ShowException.h"

namespace {
namespace W = Platform::window;

uint32_t le32(const std::vector<uint8_t>& v, size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}

// 3 x 2 pixels, each byte its own index, so rows and channels can be traced.
std::vector<uint8_t> indexedPixels() {
    std::vector<uint8_t> p(3 * 2 * 4);
    for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>(i + 1);
    return p;
}

TEST(Clipboard, BitmapLayoutWithAndWithoutAlpha) {
    const auto pixels = indexedPixels();
    struct Case {
        bool alpha;
        uint16_t bits;
        std::vector<uint8_t> firstRow;  // the bottom row of the image
    };
    const Case cases[] = {
        {false, 24, {13, 14, 15, 17, 18, 19, 21, 22, 23, 0, 0, 0}},  // 9 bytes of pixels, 3 of padding
        {true, 32, {13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}},
    };
    for (const auto& c : cases) {
        const auto block = System::Clipboard::buildBitmap({3, 2, c.alpha, pixels.data(), 12});
        ASSERT_EQ(block.size(), 40u + 24u);
        EXPECT_EQ(le32(block, 0), 40u);
        EXPECT_EQ(le32(block, 4), 3u);
        EXPECT_EQ(le32(block, 8), 2u);  // positive: bottom-up
        EXPECT_EQ(block[12], 1);
        EXPECT_EQ(block[14], c.bits);
        EXPECT_EQ(le32(block, 16), 0u);  // no compression
        EXPECT_EQ(le32(block, 20), 24u);
        for (size_t at = 24; at < 40; ++at) EXPECT_EQ(block[at], 0) << at;
        EXPECT_EQ(std::vector<uint8_t>(block.begin() + 40, block.begin() + 52), c.firstRow);
        EXPECT_EQ(block[52], 1);  // then the top row, from its first byte
    }
}

TEST(Clipboard, TextRoundTripsAndAnEmptyTextIsText) {
    ASSERT_TRUE(System::Clipboard::setText(L"クリップ\tboard"));
    std::wstring text = L"old";
    ASSERT_TRUE(System::Clipboard::getText(text));
    EXPECT_EQ(text, L"クリップ\tboard");
    ASSERT_TRUE(System::Clipboard::setText(L""));
    ASSERT_TRUE(System::Clipboard::getText(text));
    EXPECT_EQ(text, L"");
}

TEST(Clipboard, ImageReplacesTextAndReadsAsNoText) {
    const auto pixels = indexedPixels();
    const System::ClipboardImage image{3, 2, false, pixels.data(), 12};
    ASSERT_TRUE(System::Clipboard::setImage(image));
    std::wstring text = L"unchanged";
    EXPECT_FALSE(System::Clipboard::getText(text));
    EXPECT_EQ(text, L"unchanged");
    ASSERT_TRUE(W::openClipboard(nullptr));
    std::vector<uint8_t> block;
    EXPECT_TRUE(W::getClipboardData(W::kCfDib, block));
    W::closeClipboard();
    EXPECT_EQ(block, System::Clipboard::buildBitmap(image));
}

TEST(Clipboard, CopyWhileHeldOpenElsewhereShowsTheErrorAndChangesNothing) {
    ASSERT_TRUE(System::Clipboard::setText(L"kept"));
    const System::ExceptionPresenterScope presenter(Dialog::showException);  // as the program installs it
    ScriptedBoxes boxes;
    ASSERT_TRUE(W::openClipboard(nullptr));  // someone else holds it
    EXPECT_FALSE(System::Clipboard::setText(L"lost"));
    std::wstring text;
    EXPECT_FALSE(System::Clipboard::getText(text));  // a failed read is silent
    W::closeClipboard();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("OpenClipboard"), std::string::npos);
    EXPECT_NE(boxes.shown[0].text.find("System::Clipboard::Clipboard"), std::string::npos);
    ASSERT_TRUE(System::Clipboard::getText(text));
    EXPECT_EQ(text, L"kept");
}

}  // namespace
