#include <gtest/gtest.h>

#include <stdexcept>

#include "effect/EffectItemButton.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemCheckButton.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemFigureSelect.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemFontSelect.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemLayerRange.h"
#include "effect/EffectItemMaskSelect.h"
#include "effect/EffectItemScene.h"
#include "effect/EffectItemSelect.h"
#include "effect/EffectItemSelectButton.h"
#include "effect/EffectItemString.h"
#include "effect/EffectItemText.h"
#include "core/TextConvert.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "support/TestModelQueries.h"

using namespace Effect;

namespace {

std::shared_ptr<EffectItemSelect::SharedList> modes() {
    auto list = EffectItemSelect::SharedList::create();
    list->add(0, L"通常");
    list->add(1, L"加算");
    list->add(5, L"減算");
    list->add(7, L"通常");  // a repeated name: the lower index wins by name
    return list;
}

// One item of every kind, in declaration order.
struct AllKinds {
    ItemList items;
    EffectItemInteger integer{&items, L"整数", 5, -100, 100};
    EffectItemInteger hidden{&items, L"隠し", 1, 0, 1, EffectItem::kHiddenInteger};
    EffectItemScene scene{&items, L"シーン", 0, 0, 49};
    EffectItemLayerRange range{&items, L"範囲", 1, 1, 100};
    EffectItemCheck check{&items, L"チェック"};
    EffectItemCheckButton checkButton{&items, L"ボタン付き"};
    EffectItemText text{&items, L"テキスト"};
    EffectItemString string{&items, L"文字列"};
    EffectItemFile file{&items, L"ファイル"};
    EffectItemColor color{&items, L"色", 255, 255, 255};
    EffectItemColor optionalColor{&items, L"影色", 0, 0, 0, EffectItem::kColorUnset};
    EffectItemSelect select{&items, L"合成", 0, modes()};
    EffectItemSelectButton selectButton{&items, L"選択", 1, modes()};
    EffectItemFontSelect font{&items, L"フォント"};
    EffectItemFigureSelect figure{&items, L"図形"};
    EffectItemCheck fitScene{&items, L"シーンの長さを合わせる"};
    EffectItemMaskSelect mask{&items, L"マスク", &fitScene};
    EffectItemButton button{&items, L"参照"};
};

// Picks one member of AllKinds, for the tables of cases.
using ItemPick = EffectItem& (*)(AllKinds&);
template <auto Member>
EffectItem& pick(AllKinds& k) {
    return k.*Member;
}

struct TextCase {
    const char* label;
    ItemPick item;
    const char* in;
    const char* out;  // what the item writes afterwards; null: reading throws
};

EffectItem& at(AllKinds& k, size_t i) { return *k.items[i]; }

}  // namespace

TEST(EffectItemTest, ItemsListThemselvesInDeclarationOrder) {
    AllKinds k;
    ASSERT_EQ(k.items.size(), 18u);
    EXPECT_EQ(k.items.front(), &k.integer);
    EXPECT_EQ(k.items.back(), &k.button);
    EXPECT_EQ(k.mask.type, EffectItem::kMask);
    EXPECT_EQ(k.font.type, EffectItem::kFont);
}

TEST(EffectItemTest, TextFormsOfEveryKind) {
    testModel().scenes = {{0, L"Root"}, {3, L"intro.v2"}};
    const TextCase cases[] = {
        {"integer", pick<&AllKinds::integer>, "  -42xyz", "-42"},
        {"integer no digits", pick<&AllKinds::integer>, "x1", nullptr},
        {"integer out of range", pick<&AllKinds::integer>, "2147483648", nullptr},
        {"integer lowest", pick<&AllKinds::integer>, "-2147483648", "-2147483648"},
        {"hidden", pick<&AllKinds::hidden>, "0", "0"},
        {"scene", pick<&AllKinds::scene>, "3", "3"},
        {"layer range", pick<&AllKinds::range>, "12", "12"},
        {"check on", pick<&AllKinds::check>, "7", "1"},
        {"check off", pick<&AllKinds::checkButton>, "0", "0"},
        {"check bad", pick<&AllKinds::check>, "on", nullptr},
        {"text escapes", pick<&AllKinds::text>, "a\\\\b\\nc\\x\\", "a\\\\b\\nc\\\\x\\\\"},
        {"string", pick<&AllKinds::string>, " 日本語 ", " 日本語 "},
        {"file", pick<&AllKinds::file>, "/media/a.mp4", "/media/a.mp4"},
        {"colour", pick<&AllKinds::color>, "FF8000", "ff8000"},
        {"colour blanks", pick<&AllKinds::color>, "  0a0B0c ", "0a0b0c"},
        {"colour unset", pick<&AllKinds::optionalColor>, "", ""},
        {"colour five digits", pick<&AllKinds::color>, "12345", nullptr},
        {"colour not hex", pick<&AllKinds::color>, "gg0000", nullptr},
        {"select by name", pick<&AllKinds::select>, "減算", "減算"},
        {"select unknown keeps", pick<&AllKinds::selectButton>, "乗算", "加算"},
        {"font", pick<&AllKinds::font>, "Zeta Mono", "Zeta Mono"},
        {"font unknown keeps", pick<&AllKinds::font>, "Nope", "Noto Sans CJK JP"},
        {"figure by name", pick<&AllKinds::figure>, "星型", "星型"},
        {"figure file", pick<&AllKinds::figure>, "/figures/leaf.svg", "/figures/leaf.svg"},
        {"figure no dot keeps", pick<&AllKinds::figure>, "leaf", "円"},
        {"mask figure", pick<&AllKinds::mask>, "ハート", "ハート"},
        {"mask scene with a dot", pick<&AllKinds::mask>, "intro.v2", "intro.v2"},
        {"mask script", pick<&AllKinds::mask>, "*glow", "*glow"},
        {"mask file", pick<&AllKinds::mask>, "/m/a.png", "/m/a.png"},
        {"mask nothing keeps", pick<&AllKinds::mask>, "plain", "円"},
        {"button", pick<&AllKinds::button>, "anything", ""},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.label);
        AllKinds k;
        EffectItem& item = c.item(k);
        const std::string before = item.toString();
        if (!c.out) {
            EXPECT_ANY_THROW(item.fromString(c.in));
            EXPECT_EQ(item.toString(), before);
            continue;
        }
        item.fromString(c.in);
        EXPECT_EQ(item.toString(), c.out);
        // Reading the written text again changes nothing.
        auto copy = item.clone();
        copy->fromString(item.toString());
        EXPECT_TRUE(copy->equals(item));
    }
    testModel().scenes.clear();
}

TEST(EffectItemTest, TextItemEscapesBackslashesAndLineBreaks) {
    AllKinds k;
    k.text.text = L"a\\b\r\nc\rd\ne";
    EXPECT_EQ(k.text.toString(), "a\\\\b\\nc\\nd\\ne");
    k.text.fromString(k.text.toString());
    EXPECT_EQ(k.text.text, L"a\\b\nc\nd\ne");
    k.text.fromString("tail\\");
    EXPECT_EQ(k.text.text, L"tail\\");
}

TEST(EffectItemTest, KindFourteenColoursMadeBlackStartUnset) {
    const struct {
        uint8_t type, red, green, blue;
        const char* text;
    } cases[] = {
        {EffectItem::kColorUnset, 0, 0, 0, ""},
        {EffectItem::kColorUnset, 255, 255, 255, "ffffff"},
        {EffectItem::kColorUnset, 0, 0, 1, "000001"},
        {EffectItem::kColor, 0, 0, 0, "000000"},
    };
    for (const auto& c : cases) {
        EffectItemColor colour(nullptr, L"色", c.red, c.green, c.blue, c.type);
        EXPECT_EQ(colour.toString(), c.text) << int(c.type) << " " << int(c.blue);
        EXPECT_EQ(colour.unset, c.text[0] == 0);
    }
}

TEST(EffectItemTest, ColourValuesAndUnsetFlag) {
    AllKinds k;
    k.optionalColor.fromString("");
    EXPECT_TRUE(k.optionalColor.unset);
    EXPECT_EQ(k.optionalColor.toString(), "");
    k.optionalColor.fromString("FF8000");
    EXPECT_FALSE(k.optionalColor.unset);
    EXPECT_EQ(k.optionalColor.red, 255);
    EXPECT_EQ(k.optionalColor.green, 128);
    EXPECT_EQ(k.optionalColor.blue, 0);
    EXPECT_EQ(k.optionalColor.toString(), "ff8000");
    k.optionalColor.fromString(" 0a0B0c ");
    EXPECT_EQ(k.optionalColor.toString(), "0a0b0c");
    // Anything but six hexadecimal digits fails with the colour's own text and
    // keeps the colour.
    for (const char* bad : {"zzzzzz", "0xff00", "-1ffff", "+fffff", "ff 800", "ff80", "ff80001"}) {
        try {
            k.optionalColor.fromString(bad);
            ADD_FAILURE() << bad;
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), "RGB argument is invalid.") << bad;
        }
        EXPECT_EQ(k.optionalColor.toString(), "0a0b0c") << bad;
    }
}

TEST(EffectItemTest, ExchangeFileValues) {
    struct Case {
        const char* label;
        ItemPick item;
        const char* key;
        const char* value;
        bool raw;
        const char* out;
    };
    const Case cases[] = {
        {"select index", pick<&AllKinds::select>, "blend", "5", false, "減算"},
        {"select missing index", pick<&AllKinds::selectButton>, "blend", "3", false, "通常"},
        {"select by name", pick<&AllKinds::select>, "blend", "加算", false, "加算"},
        {"figure index", pick<&AllKinds::figure>, "type", "2", false, "四角形"},
        {"figure missing index", pick<&AllKinds::figure>, "type", "77", false, "背景"},
        {"text hex", pick<&AllKinds::text>, "text", "4100346c3b4e3dd800de00000000", false, "A水主😀"},
        {"text other key", pick<&AllKinds::text>, "note", "a\\nb", false, "a\\nb"},
        {"colour hex", pick<&AllKinds::color>, "color", "102030", false, "102030"},
        {"colour raw decimal", pick<&AllKinds::color>, "color", "16744448", true, "ff8000"},
        {"colour raw falls back", pick<&AllKinds::color>, "color", "a0b0c0", true, "a0b0c0"},
        {"colour no_", pick<&AllKinds::optionalColor>, "no_color", "1", false, ""},
        {"colour no_ zero", pick<&AllKinds::color>, "no_color", "0", false, "ffffff"},
        {"colour yc short", pick<&AllKinds::color>, "color_yc", "00100000000", false, "ffffff"},
        // Y = 4096 (white), Cb = Cr = 0.
        {"colour yc white", pick<&AllKinds::color>, "color_yc", "001000000000", false, "ffffff"},
        // Y = 2048, Cr = 1024: red 216.9, green 81.99, blue exactly 127.5 (away from zero: 128).
        {"colour yc red", pick<&AllKinds::color>, "color_yc", "000800000004", false, "d95280"},
        {"integer", pick<&AllKinds::integer>, "n", "12", false, "12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        AllKinds k;
        c.item(k).fromKtoString(c.value, c.key, L"テスト", c.raw);
        EXPECT_EQ(c.item(k).toString(), c.out);
    }
    // A YCbCr value of twelve characters that are not all hexadecimal digits
    // fails and keeps the colour.
    AllKinds k;
    k.color.fromString("102030");
    for (const char* bad : {"-01000000000", " 0100000000f", "0010000000zz"}) {
        EXPECT_ANY_THROW(k.color.fromKtoString(bad, "color_yc", L"テスト", false)) << bad;
        EXPECT_EQ(k.color.toString(), "102030") << bad;
    }
}

TEST(EffectItemTest, CloneCopyAndEquality) {
    AllKinds a, b;
    testModel().scenes = {{2, L"S2"}};
    a.integer.value = 9;
    a.check.value = 1;
    a.checkButton.value = 1;
    a.text.text = L"x";
    a.string.text = L"y";
    a.file.path = L"/z";
    a.color.fromString("010203");
    a.optionalColor.fromString("040506");
    a.select.index = 5;
    a.selectButton.index = 0;
    a.font.index = 3;
    a.figure.fromString("/f.svg");
    a.mask.setSceneValue(2);
    a.string.notify = 1;
    for (size_t i = 0; i < a.items.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "item " << i);
        EffectItem& x = at(a, i);
        EffectItem& y = at(b, i);
        if (x.type != EffectItem::kButton && x.type != EffectItem::kHiddenInteger && x.type != EffectItem::kScene &&
            x.type != EffectItem::kLayerRange && &x != &a.fitScene) {
            EXPECT_FALSE(y.equals(x));
        }
        y.copyFrom(x);
        EXPECT_TRUE(y.equals(x));
        const std::unique_ptr<EffectItem> snapshot = x.clone();
        EXPECT_EQ(snapshot->type, x.type);
        EXPECT_EQ(snapshot->name, x.name);
        EXPECT_EQ(snapshot->notify, x.notify);
        EXPECT_TRUE(snapshot->equals(x));
        EXPECT_EQ(snapshot->toString(), x.toString());
    }
    testModel().scenes.clear();
}

TEST(EffectItemTest, ClonesAreOfTheValueClass) {
    AllKinds k;
    auto checkButton = k.checkButton.clone();
    EXPECT_EQ(checkButton->type, EffectItem::kCheckButton);
    EXPECT_NE(checkButton->to<EffectItemCheck>(), nullptr);
    EXPECT_THROW(checkButton->to<EffectItemCheckButton>(), std::runtime_error);
    EXPECT_EQ(checkButton->to<EffectItemText>(), nullptr);
    EXPECT_NE(k.font.clone()->to<EffectItemSelect>(), nullptr);
    EXPECT_THROW(k.font.clone()->to<EffectItemFontSelect>(), std::runtime_error);
    EXPECT_THROW(k.scene.clone()->to<EffectItemScene>(), std::runtime_error);
    EXPECT_THROW(k.figure.clone()->to<EffectItemFigureSelect>(), std::runtime_error);
    EXPECT_NE(k.figure.clone()->to<EffectItemComboFile>(), nullptr);
    EXPECT_EQ(static_cast<EffectItem&>(k.figure).to<EffectItemFigureSelect>(), &k.figure);
    EXPECT_EQ(k.mask.clone()->to<EffectItemMaskSelect>()->fitScene, &k.fitScene);
}

TEST(EffectItemTest, PathAccess) {
    AllKinds k;
    std::wstring path;
    EXPECT_FALSE(k.integer.getFilePath(path));
    EXPECT_THROW(k.integer.setFilePath(L"/x"), std::runtime_error);
    k.file.setFilePath(L"");
    EXPECT_TRUE(k.file.getFilePath(path));
    EXPECT_EQ(path, L"");
    k.figure.setFilePath(L"");
    EXPECT_EQ(k.figure.index, 1);  // an empty path leaves list items alone
    k.figure.setFilePath(L"/a/b.svg");
    EXPECT_EQ(k.figure.index, -1);
    k.mask.setFilePath(L"/a/m.png");
    EXPECT_EQ(k.mask.index, -1);
    EXPECT_EQ(k.mask.sceneId, -1);
    EXPECT_TRUE(k.mask.getFilePath(path));
    EXPECT_EQ(path, L"/a/m.png");
}

TEST(EffectItemTest, PathsTakeLineBreaksAsBlanks) {
    // A path holding a line break could not stand on one line of a project file.
    const struct {
        const char* name;
        std::wstring given;
        std::wstring held;
    } cases[] = {
        {"LF", L"/a\nb/c.png", L"/a b/c.png"},
        {"CR", L"/a\rb/c.png", L"/a b/c.png"},
        {"CR LF", L"/a\r\nb/c.png", L"/a b/c.png"},
        {"trailing CR", L"/c.png\r", L"/c.png "},
    };
    const struct {
        const char* name;
        ItemPick item;
    } items[] = {{"file", pick<&AllKinds::file>}, {"figure", pick<&AllKinds::figure>}, {"mask", pick<&AllKinds::mask>}};
    for (const auto& c : cases) {
        for (const auto& i : items) {
            SCOPED_TRACE(std::string(c.name) + " in " + i.name);
            AllKinds k;
            EffectItem& item = i.item(k);
            item.setFilePath(c.given);
            std::wstring path;
            EXPECT_TRUE(item.getFilePath(path));
            EXPECT_EQ(path, c.held);
            item.fromString(System::wideToUtf8(c.given));
            EXPECT_TRUE(item.getFilePath(path));
            EXPECT_EQ(path, c.held);
        }
    }
}

TEST(EffectItemTest, ListSettersKeepOneSourceSet) {
    AllKinds k;
    testModel().scenes = {{4, L"S4"}};
    k.mask.setSceneValue(4);
    EXPECT_EQ(k.mask.sceneId, 4);
    EXPECT_EQ(k.mask.index, -1);
    k.mask.setSceneValue(9);  // no such scene
    EXPECT_EQ(k.mask.sceneId, -1);
    EXPECT_EQ(k.mask.index, 0);
    k.mask.fromString("/p.png");
    k.mask.setListValue(6);
    EXPECT_EQ(k.mask.index, 6);
    EXPECT_EQ(k.mask.path, L"");
    k.mask.setListValue(99);
    EXPECT_EQ(k.mask.index, 0);
    k.figure.fromString("/q.svg");
    k.figure.setListValue(99);
    EXPECT_EQ(k.figure.index, 0);
    EXPECT_EQ(k.figure.path, L"");
    testModel().scenes.clear();
}

TEST(EffectItemTest, OptionLists) {
    auto list = modes();
    EXPECT_EQ(list->indexOf(L"通常"), 0);
    EXPECT_EQ(list->firstIndex(), 0);
    EXPECT_TRUE(list->contains(L"減算"));
    EXPECT_THROW(list->indexOf(L"none"), std::out_of_range);
    list->add(1, L"other");  // an index present keeps its first name
    EXPECT_STREQ(list->nameOf(1), L"加算");
    static const wchar_t kStatic[] = L"static";
    list->insert(-3, kStatic);
    EXPECT_EQ(list->firstIndex(), -3);
    EXPECT_EQ(list->nameOf(-3), kStatic);
    try {
        AllKinds k;
        k.select.index = 4;
        k.select.toString();
        FAIL();
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid map<K, T> key");
    }
}

TEST(EffectItemTest, FontAndFigureConstruction) {
    ItemList items;
    EffectItemFontSelect byDefault(&items, L"f");
    EXPECT_EQ(byDefault.index, 2);
    EffectItemFontSelect named(&items, L"g", L"Beta Serif");
    EXPECT_EQ(named.index, 1);
    EXPECT_THROW(EffectItemFontSelect(&items, L"h", L"Missing"), std::out_of_range);
    EffectItemFigureSelect star(&items, L"s", L"星型", EffectItem::kScriptFigure);
    EXPECT_EQ(star.index, 6);
    EXPECT_EQ(star.type, EffectItem::kScriptFigure);
}

TEST(EffectItemTest, TextSpliceForUndo) {
    ItemList items;
    EffectItemText a(&items, L"a", L"abcdef"), b(&items, L"b", L"abXYef"), c(&items, L"c", L"abcdef");
    a.diffFrom(b);
    EXPECT_EQ(a.text, L"cd");
    EXPECT_EQ(b.text, L"XY");
    EXPECT_EQ(b.prefixLength, 2);
    EXPECT_EQ(b.suffixLength, 2);
    c.copyFrom(b);
    EXPECT_EQ(c.text, L"abXYef");
    // Equal texts change nothing.
    EffectItemText d(&items, L"d", L"same"), e(&items, L"e", L"same");
    d.diffFrom(e);
    EXPECT_EQ(d.text, L"same");
    EXPECT_EQ(d.prefixLength, 0);
    // Overlapping repeats: the suffix never eats into the prefix.
    EffectItemText f(&items, L"f", L"aaa"), g(&items, L"g", L"aaaa");
    f.diffFrom(g);
    EXPECT_EQ(f.text, L"");
    EXPECT_EQ(g.text, L"a");
    EffectItemText h(&items, L"h", L"aaa");
    h.copyFrom(g);
    EXPECT_EQ(h.text, L"aaaa");
    // A snapshot whose lengths exceed the text is limited to it.
    EffectItemText shortText(&items, L"s", L"a");
    shortText.copyFrom(b);
    EXPECT_EQ(shortText.text, L"aXY");
}
