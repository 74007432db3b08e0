#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <string>

#include "core/NumberText.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "core/VectorSearch.h"

namespace {

// Switches every category to a comma-decimal locale for its lifetime.
struct CommaLocale {
    std::string old;
    CommaLocale() {
        old = std::setlocale(LC_ALL, nullptr);
        EXPECT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "de_DE.UTF-8 missing: run scripts/setup.sh";
    }
    ~CommaLocale() { std::setlocale(LC_ALL, old.c_str()); }
};

TEST(TextConvert, RoundTripsValidText) {
    const std::wstring texts[] = {
        L"",
        L"plain ASCII",
        L"\u65e5\u672c\u8a9e\u306e\u30c6\u30ad\u30b9\u30c8",          // Japanese
        L"\U0001F600 emoji \U00020B9F kanji beyond the basic plane",  // four-byte UTF-8, surrogate pairs
        L"\u00e9\u00df\u20ac\uffff\U0010FFFF",
    };
    for (const auto& text : texts) {
        EXPECT_EQ(System::utf8ToWide(System::wideToUtf8(text)), text);
        EXPECT_EQ(System::utf16ToWide(System::wideToUtf16(text)), text);
        EXPECT_EQ(System::utf16ToUtf8(System::utf8ToUtf16(System::wideToUtf8(text))), System::wideToUtf8(text));
    }
    EXPECT_EQ(System::wideToUtf16(L"\U0001F600"), (std::u16string{0xD83D, 0xDE00}));
}

TEST(TextConvert, InvalidInputBecomesReplacementCharacters) {
    struct Case {
        const char* name;
        std::string utf8;
        std::wstring wide;
    } cases[] = {
        {"lone continuation", "a\x80z", L"a\uFFFDz"},
        {"cut off at the end", "a\xE6\x97", L"a\uFFFD"},
        {"overlong", "\xC0\xAF", L"\uFFFD"},
        {"surrogate encoded", "\xED\xA0\x80", L"\uFFFD"},
        {"beyond Unicode", "\xF4\x90\x80\x80", L"\uFFFD"},
        {"bad lead byte", "\xFF!", L"\uFFFD!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(System::utf8ToWide(c.utf8), c.wide);
    }
    EXPECT_EQ(System::utf16ToWide(std::u16string{u'a', 0xD800, u'b', 0xDC00}), L"a\uFFFDb\uFFFD");
    std::wstring out = L"old";
    System::utf8ToWide(nullptr, out);
    EXPECT_TRUE(out.empty());
}

TEST(TextHelper, CompareNatural) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        int expected;
    } cases[] = {
        {L"a2", L"A10", -1},
        {L"Item 9", L"Item 10", -1},
        {L"Item 10", L"Item 9", 1},
        {L"abc", L"ABC", 0},
        {L"\uFF76", L"\u30AB", 0},        // half-width katakana = full-width
        {L"\uFF76\uFF9E", L"\u30AC", 0},  // with its voiced mark
        {L"\u304B", L"\u30AB", 0},        // hiragana = katakana
        {L"\uFF21\uFF11", L"a1", 0},      // full-width Latin and digits
        {L"a-b", L"ab", 0},               // symbols ignored
        {L"file007", L"file7", 0},
        {L"a", L"ab", -1},
        {L"", L"", 0},
        {L"b", L"a", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << System::wideToUtf8(c.a) << " vs " << System::wideToUtf8(c.b));
        EXPECT_EQ(System::compareNatural(c.a, c.b), c.expected);
        EXPECT_EQ(System::compareNatural(c.b, c.a), -c.expected);
    }
}

void expectDecimals() {
    struct Case {
        double value;
        const wchar_t* text;
    } cases[] = {{1.5, L"1.5"}, {2.0, L"2"},   {0.125, L"0.125"}, {1e-7, L"0"},
                 {-0.0, L"-0"}, {100, L"100"}, {-2.25, L"-2.25"}, {1234567.0000004, L"1234567"}};
    for (const auto& c : cases) EXPECT_EQ(System::formatDecimal(c.value), c.text) << c.value;
}

void expectTimes() {
    struct Case {
        double seconds;
        const wchar_t* time;
        const wchar_t* timeSeconds;
    } cases[] = {
        {3725.5, L"01:02:05.50", L"01:02:05"},
        {-0.25, L"-00:00:00.25", L"-00:00:00"},
        {360000, L"100:00:00.00", L"100:00:00"},
        {59.99, L"00:00:59.99", L"00:00:59"},
        {0, L"00:00:00.00", L"00:00:00"},
        {1e12, L"277777777:46:40", L"277777777:46:40"},  // cut at 15 characters
    };
    for (const auto& c : cases) {
        wchar_t out[16];
        System::formatTime(out, c.seconds);
        EXPECT_STREQ(out, c.time) << c.seconds;
        System::formatTimeSeconds(out, c.seconds);
        EXPECT_STREQ(out, c.timeSeconds) << c.seconds;
    }
}

TEST(TextHelper, DecimalAndTimeTexts) {
    expectDecimals();
    expectTimes();
}

TEST(TextHelper, DecimalAndTimeTextsUnderCommaLocale) {
    CommaLocale locale;
    expectDecimals();
    expectTimes();
    EXPECT_FLOAT_EQ(System::stof("0.5"), 0.5f);
}

TEST(TextHelper, ReplaceAllAndPlaceholders) {
    std::wstring text = L"aXbXX";
    System::replaceAll(text, L"X", L"XX");
    EXPECT_EQ(text, L"aXXbXXXX");  // inserted text is not searched again
    System::replaceAll(text, L"", L"y");
    EXPECT_EQ(text, L"aXXbXXXX");

    std::wstring placeholders = L"{a}/{b}/{}/{a}";
    int calls = 0;
    System::expandPlaceholders(placeholders, [&](const std::wstring& name) {
        ++calls;
        return name == L"a" ? std::wstring(L"1") : std::wstring(L"{a}");
    });
    EXPECT_EQ(placeholders, L"1/{a}/{}/1");
    EXPECT_EQ(calls, 3);

    // The name is the shortest run of at least one character without a line break.
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"{}}", L"<}>"},         {L"{{a}", L"<{a>"}, {L"{a\nb}{c}", L"{a\nb}<c>"},
        {L"x{a}y{b", L"x<a>y{b"}, {L"{a}}", L"<a>}"}, {L"{ab}{}", L"<ab>{}"},
    };
    for (const auto& [input, expected] : cases) {
        std::wstring t = input;
        System::expandPlaceholders(t, [](const std::wstring& name) { return L"<" + name + L">"; });
        EXPECT_EQ(t, expected) << System::wideToUtf8(input);
    }
    // A long text neither overflows the stack nor takes quadratic time on unclosed braces.
    std::wstring longText(300000, L'{');
    longText += L"a}";
    System::expandPlaceholders(longText, [](const std::wstring&) { return std::wstring(L"x"); });
    EXPECT_EQ(longText, L"x");
    std::wstring unclosed(300000, L'{');
    unclosed += L"\n{a}";
    System::expandPlaceholders(unclosed, [](const std::wstring&) { return std::wstring(L"x"); });
    EXPECT_EQ(unclosed, std::wstring(300000, L'{') + L"\nx");
}

TEST(TextHelper, TrimAndSplit) {
    std::wstring text = L"  word\t";
    System::trimSpace(text);
    EXPECT_EQ(text, L"word\t");
    text = L"   ";
    System::trimSpace(text);
    EXPECT_EQ(text, L"");

    EXPECT_EQ(System::splitComma(std::string("a,,b,")), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(System::splitComma(std::wstring(L"")), (std::vector<std::wstring>{L""}));
    EXPECT_EQ(System::splitString("x", ','), (std::vector<std::string>{"x"}));
    EXPECT_EQ(System::splitString("1/2", '/'), (std::vector<std::string>{"1", "2"}));
}

TEST(TextHelper, StandardConversionTexts) {
    struct Case {
        const char* text;
        int base;
        int value;
        size_t index;
    } ok[] = {{" 12ab", 10, 12, 3}, {"-7", 10, -7, 2}, {"ff", 16, 255, 2}, {"0x1g", 16, 1, 3}, {"+3", 10, 3, 2}};
    for (const auto& c : ok) {
        size_t index = 0;
        EXPECT_EQ(System::stoi(c.text, &index, c.base), c.value) << c.text;
        EXPECT_EQ(index, c.index) << c.text;
    }
    for (const char* bad : {"", "x1", " -", "gg"}) {
        try {
            System::stoi(bad, nullptr, 16);
            ADD_FAILURE() << bad;
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), "invalid stoi argument");
        }
    }
    try {
        System::stoi("3000000000");
        ADD_FAILURE();
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "stoi argument out of range");
    }
    EXPECT_FLOAT_EQ(System::stof(" 1.5e2x"), 150.0f);
    EXPECT_THROW(System::stof("abc"), std::invalid_argument);
    EXPECT_THROW(System::stof("1e99"), std::out_of_range);
}

TEST(VectorSearch, FindFilterErase) {
    int a = 1, b = 2, c = 3;
    std::vector<int*> raw{&a, &b, &c};
    int visited = 0;
    EXPECT_EQ(System::findIf(raw,
                             [&](int* p) {
                                 ++visited;
                                 return *p == 2;
                             }),
              &b);
    EXPECT_EQ(visited, 2);
    EXPECT_EQ(System::findIf(raw, [](int* p) { return *p == 9; }), nullptr);
    EXPECT_EQ(System::filterIf(raw, [](int* p) { return *p != 2; }), (std::vector<int*>{&a, &c}));

    std::vector<std::shared_ptr<int>> shared{std::make_shared<int>(1), std::make_shared<int>(2),
                                             std::make_shared<int>(3), std::make_shared<int>(2)};
    EXPECT_EQ(System::findIndexIf(shared, [](const std::shared_ptr<int>& p) { return *p == 2; }), 1);
    EXPECT_EQ(System::findIndexIf(shared, [](const std::shared_ptr<int>& p) { return *p == 9; }), -1);
    System::eraseIf(shared, [](const std::shared_ptr<int>& p) { return *p == 2; });
    ASSERT_EQ(shared.size(), 2u);
    EXPECT_EQ(*shared[0], 1);
    EXPECT_EQ(*shared[1], 3);
}

}  // namespace
