#include "platform/os/Cp932.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp932, DecodesAndReplacesInvalidBytes) {
    struct Case {
        const char* name;
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"ASCII", "abc 123", L"abc 123"},
        {"kanji", "\x93\xfa\x96\x7b\x8c\xea", L"\u65e5\u672c\u8a9e"},
        {"half-width kana", "\xb1\xb2", L"\uff71\uff72"},
        {"wave dash and tilde of the Windows table", "\x81\x60\x81\x5f", L"\uff5e\uff3c"},
        {"lead byte at the end", "a\x93", L"a\ufffd"},
        {"invalid lead byte", "\xa0z", L"\ufffdz"},
        {"empty", "", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Platform::os::decodeCp932(c.bytes), c.text);
    }
}

TEST(Cp932, NeverFailsOnArbitraryBytes) {
    std::string all;
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; j += 7) {
            all.push_back(static_cast<char>(i));
            all.push_back(static_cast<char>(j));
        }
    const std::wstring text = Platform::os::decodeCp932(all);
    EXPECT_FALSE(text.empty());
    EXPECT_LE(text.size(), all.size());
}

}  // namespace
