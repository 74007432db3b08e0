// The control tags of text: what each pattern accepts, which fields it
// yields, and what is no tag (drawn as text).
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "media/text/TextTag.h"

namespace {

using Kind = Media::TextTag::Kind;
using Field = std::optional<std::wstring>;
const Field none = std::nullopt;

struct Case {
    const wchar_t* text;
    Kind kind;
    size_t length;
    Field fields[4];
};

TEST(TextTagParse, EachKindItsFieldsAndWhatIsNoTag) {
    const Case cases[] = {
        // colour: both values optional; an empty first value is absent
        {L"<#ff0000>x", Kind::Color, 9, {L"ff0000", none, none, none}},
        {L"<#,00ff00>", Kind::Color, 10, {none, L"00ff00", none, none}},
        {L"<#>", Kind::Color, 3, {none, none, none, none}},
        {L"<#red,blue>", Kind::Color, 11, {L"red", L"blue", none, none}},
        {L"<#a,b,c>", Kind::None, 0, {}},
        {L"<#ff0000", Kind::None, 0, {}},
        // font
        {L"<@Noto Sans>", Kind::Font, 12, {L"Noto Sans", none, none, none}},
        {L"<@>", Kind::Font, 3, {none, none, none, none}},
        // size: factor, signed, plain, family, flags, outline
        {L"<s*2>", Kind::Size, 5, {L"*2", none, none, none}},
        {L"<s-4>", Kind::Size, 5, {L"-4", none, none, none}},
        {L"<s0>", Kind::Size, 4, {L"0", none, none, none}},
        {L"<s>", Kind::Size, 3, {none, none, none, none}},
        {L"<s20,Arial,BI,3>", Kind::Size, 16, {L"20", L"Arial", L"BI", L"3"}},
        {L"<s20,,BI>", Kind::Size, 9, {L"20", L"", L"BI", none}},
        {L"<s20,,>", Kind::Size, 7, {L"20", L"", L"", none}},
        {L"<s20,,5>", Kind::Size, 8, {L"20", L"", none, L"5"}},
        {L"<s,BI>", Kind::Size, 6, {none, L"BI", none, none}},
        {L"<sx>", Kind::None, 0, {}},
        {L"<s20,a,b,c,d>", Kind::None, 0, {}},
        // position: the pattern takes one value; reading it needs two
        {L"<p10,-20>", Kind::Position, 9, {L"10", L"-20", none, none}},
        {L"<p+1,+2,-3>", Kind::Position, 11, {L"+1", L"+2", L"-3", none}},
        {L"<p5>", Kind::Position, 4, {L"5", none, none, none}},
        {L"<p,5>", Kind::Position, 5, {none, L"5", none, none}},
        {L"<p1,2,3,4>", Kind::None, 0, {}},
        // rate, wait, clear
        {L"<r20>", Kind::Rate, 5, {L"20", none, none, none}},
        {L"<r>", Kind::Rate, 3, {none, none, none, none}},
        {L"<r-1>", Kind::None, 0, {}},
        {L"<w1.5>", Kind::Wait, 6, {L"1.5", none, none, none}},
        {L"<w*0.5>", Kind::Wait, 7, {L"*0.5", none, none, none}},
        {L"<w>", Kind::None, 0, {}},
        {L"<c>", Kind::Clear, 3, {none, none, none, none}},
        {L"<c*2>", Kind::Clear, 5, {L"*2", none, none, none}},
        // other letters, a space before the letter, too short
        {L"<z>", Kind::None, 0, {}},
        {L"< s10>", Kind::None, 0, {}},
        {L"<", Kind::None, 0, {}},
        {L"<S10>", Kind::None, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text);
        const Media::TextTag tag = Media::TextTag::parse(c.text);
        EXPECT_EQ(c.kind, tag.kind);
        EXPECT_EQ(c.length, tag.length);
        if (c.kind == Kind::None) continue;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(c.fields[i], tag.field[i]) << "field " << i;
    }
}

TEST(TextTagParse, NumbersReadAsFarAsTheyFormANumber) {
    struct Number {
        const wchar_t* text;
        bool ok;
        double value;
    };
    const Number cases[] = {
        {L"12", true, 12},   {L"1.5", true, 1.5},  {L"1.2.3", true, 1.2}, {L".5", true, 0.5},
        {L"-4", true, -4},   {L"+2.5", true, 2.5}, {L".", false, 0},      {L"", false, 0},
        {L"..1", false, 0},  {L"-", false, 0},
    };
    for (const Number& c : cases) {
        double v = -99;
        EXPECT_EQ(c.ok, Media::TextTag::readNumber(c.text, v)) << c.value;
        if (c.ok) EXPECT_DOUBLE_EQ(c.value, v);
    }
}

}  // namespace
