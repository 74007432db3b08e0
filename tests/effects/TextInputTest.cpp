// The text source drawn by the video render worker: golden frames of its
// decorations and alignments, where the alignment puts the block, the reveal
// over time and the image kept while nothing shown changes, characters drawn
// one by one and along the path, fitted lengths, display names and inline
// script blocks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "edit/UpdateSection.h"
#include "effect/EffectService.h"
#include "effect/MovementDefine.h"
#include "effect/RenderContext.h"
#include "effects/SourceFixture.h"
#include "effects/TextInput.h"
#include "media/gpu/Direct2DService.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/text/TextDraw.h"

namespace SourceTest {
namespace {

// Where the picture has ink: the bounding box of the pixels with alpha, and their count.
struct Box {
    int32_t left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int64_t pixels = 0;
    bool empty() const { return right < left; }
    int32_t width() const { return empty() ? 0 : right - left + 1; }
    int32_t height() const { return empty() ? 0 : bottom - top + 1; }
};
Box coverage(const Picture& picture) {
    Box box;
    for (uint32_t y = 0; y < picture.height; ++y)
        for (uint32_t x = 0; x < picture.width; ++x)
            if (picture.at(x, y)[3] > 64) {
                box.left = std::min<int32_t>(box.left, int32_t(x));
                box.right = std::max<int32_t>(box.right, int32_t(x));
                box.top = std::min<int32_t>(box.top, int32_t(y));
                box.bottom = std::max<int32_t>(box.bottom, int32_t(y));
                ++box.pixels;
            }
    return box;
}

// Channels that differ by more than 2 between two pictures of one size.
size_t differing(const Picture& a, const Picture& b) {
    size_t n = 0;
    for (size_t i = 0; i < a.bgra.size(); ++i) n += std::abs(int32_t(a.bgra[i]) - int32_t(b.bgra[i])) > 2;
    return n;
}

class TextInputTest : public SourceFixture {
protected:
    static void SetUpTestSuite() {
        SourceFixture::SetUpTestSuite();
        d2d_ = new System::ServiceHolder<Media::Direct2DService>();
    }
    static void TearDownTestSuite() {
        delete d2d_;
        d2d_ = nullptr;
        SourceFixture::TearDownTestSuite();
    }

    static std::string data(const std::string& name) { return std::string(VELMO_EFFECTS_TEST_DATA) + "/" + name; }

    static Effect::TextInput& text(const Edit::Object& object) {
        return dynamic_cast<Effect::TextInput&>(*object.effects[0]);
    }
    // A text object of the scene with the settings as their text forms.
    std::shared_ptr<Edit::Object> addText(const wchar_t* shown, int32_t layer,
                                          std::initializer_list<std::pair<const wchar_t*, const char*>> items = {},
                                          int32_t start = 0, int32_t end = 99) {
        auto object = add(Effect::TextInput::kName, layer, start, end);
        text(*object).text.text = shown;
        for (const auto& [name, value] : items) {
            Effect::EffectItem* item = object->effects[0]->findItemByName(name);
            if (item == nullptr) item = object->effects[1]->findItemByName(name);
            EXPECT_NE(item, nullptr) << System::wideToUtf8(name);
            if (item) item->fromString(value);
        }
        return object;
    }
    std::shared_ptr<Media::ResourceBuffer> input(const std::shared_ptr<Edit::Object>& object, int32_t frame = 0) {
        Render::RenderContext context;
        context.scene = scene.get();
        context.frame = frame;
        context.preciseFrame = frame;
        context.resetObject(object);
        return text(*object).inputVideo(context);
    }
    // The item's value moving linearly from a to b over the object.
    static void moveLinearly(Edit::Object& object, size_t effect, const wchar_t* name, int32_t a, int32_t b) {
        auto& item = *object.effects[effect]->findItemByName(name)->to<Effect::EffectItemNumber>();
        item.setMovement(*Effect::EffectService::get()->findMovement(L"直線移動").movement());
        item.values = {a * item.scale, b * item.scale};
    }

    static inline System::ServiceHolder<Media::Direct2DService>* d2d_ = nullptr;
};

// The golden project: every decoration kind, horizontal and vertical
// alignments, bold, a two-line block and a text revealed over time.
TEST_F(TextInputTest, ProjectMatchesTheGoldenFrames) {
    const bool update = std::getenv("VELMO_UPDATE_GOLDEN") != nullptr;
    // VELMO_UPDATE_GOLDEN=1 writes the project and the pictures again; look at them before committing.
    if (update) {
        newScene(320, 180);
        scene->videoRate = 30;
        scene->videoScale = 1;
        addText(
            L"velmo テキスト", 0,
            {{L"サイズ", "32"}, {L"文字装飾", "縁取り文字"}, {L"影・縁色", "ff0000"}, {L"X", "-150"}, {L"Y", "-85"}});
        addText(
            L"影 shadow", 1,
            {{L"サイズ", "24"}, {L"文字装飾", "影付き文字"}, {L"影・縁色", "0000ff"}, {L"X", "-150"}, {L"Y", "-40"}});
        addText(L"薄 thin", 2,
                {{L"サイズ", "24"},
                 {L"文字装飾", "影付き文字(薄)"},
                 {L"影・縁色", "00ff00"},
                 {L"X", "-150"},
                 {L"Y", "-10"}});
        addText(L"fine", 3,
                {{L"サイズ", "24"},
                 {L"文字装飾", "縁取り文字(細)"},
                 {L"影・縁色", "ff00ff"},
                 {L"X", "-150"},
                 {L"Y", "20"}});
        addText(
            L"bold", 4,
            {{L"サイズ", "24"}, {L"文字装飾", "縁取り文字(太)"}, {L"影・縁色", "008080"}, {L"X", "-80"}, {L"Y", "20"}});
        addText(
            L"W角", 5,
            {{L"サイズ", "24"}, {L"文字装飾", "縁取り文字(角)"}, {L"影・縁色", "ff8000"}, {L"X", "-10"}, {L"Y", "20"}});
        addText(
            L"縦書き", 6,
            {{L"サイズ", "28"}, {L"文字揃え", "縦書 上寄[右]"}, {L"文字色", "ffff00"}, {L"X", "150"}, {L"Y", "-85"}});
        addText(L"中央\n縦", 7, {{L"サイズ", "20"}, {L"文字揃え", "縦書 中央[中]"}, {L"X", "80"}, {L"Y", "-30"}});
        addText(
            L"right\nbottom", 8,
            {{L"サイズ", "22"}, {L"文字揃え", "右寄せ[下]"}, {L"B", "1"}, {L"I", "1"}, {L"X", "150"}, {L"Y", "85"}});
        addText(L"revealed", 9,
                {{L"サイズ", "22"},
                 {L"表示速度", "10"},
                 {L"字間", "4"},
                 {L"文字色", "80ff80"},
                 {L"X", "-150"},
                 {L"Y", "55"}});
        scene->update();
        project->saveProjectFile(System::utf8ToWide(data("text.vpj2")));
    }
    ASSERT_TRUE(loadProject(System::utf8ToWide(data("text.vpj2"))));
    ASSERT_EQ(scene->videoWidth, 320);
    for (const int32_t frame : {0, 10}) {
        const Picture picture = render(frame);
        const std::string golden = data("text_" + std::to_string(frame) + ".png");
        if (update) writeFile(golden, encodePng(picture));
        const Picture expected = decodePng(readFile(golden));
        ASSERT_EQ(expected.width, picture.width) << golden;
        ASSERT_EQ(expected.height, picture.height) << golden;
        // lavapipe and the font rasteriser are deterministic; the tolerance leaves room for rounding elsewhere.
        EXPECT_LE(differing(picture, expected), picture.bgra.size() / 500) << "frame " << frame;
    }
    EXPECT_TRUE(posted.empty());
}

// The alignment's anchor point of the block lies at the object's position
// (the frame's centre here): the ink sits on the anchor's side of it.
TEST_F(TextInputTest, AlignmentPlacesTheAnchorAtThePosition) {
    struct Case {
        const char* alignment;
        int32_t x, y;  // -1: the ink starts after the centre, 0: around it, 1: ends before it
    };
    const Case cases[] = {
        {"左寄せ[上]", -1, -1},   {"中央揃え[上]", 0, -1},  {"右寄せ[上]", 1, -1},   {"左寄せ[中]", -1, 0},
        {"中央揃え[中]", 0, 0},   {"右寄せ[中]", 1, 0},     {"左寄せ[下]", -1, 1},   {"中央揃え[下]", 0, 1},
        {"右寄せ[下]", 1, 1},     {"縦書 上寄[右]", 1, -1}, {"縦書 中央[右]", 1, 0}, {"縦書 下寄[右]", 1, 1},
        {"縦書 上寄[中]", 0, -1}, {"縦書 中央[中]", 0, 0},  {"縦書 下寄[中]", 0, 1}, {"縦書 上寄[左]", -1, -1},
        {"縦書 中央[左]", -1, 0}, {"縦書 下寄[左]", -1, 1},
    };
    newScene(200, 200);
    auto object = addText(L"■■", 0, {{L"サイズ", "40"}});
    const auto check = [](int32_t side, int32_t low, int32_t high, const char* axis) {
        // The block's margins, the glyph's bearings and the line's ascent and descent keep the
        // ink a little off the anchor; the wrong side would be the block's size (40 or more) away.
        if (side < 0) {
            EXPECT_GE(low, 100) << axis;
            EXPECT_LE(low, 116) << axis;
        } else if (side > 0) {
            EXPECT_LE(high, 100) << axis;
            EXPECT_GE(high, 84) << axis;
        } else {
            EXPECT_NEAR((low + high) / 2.0, 100, 4) << axis;
        }
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alignment);
        object->effects[0]->findItemByName(L"文字揃え")->fromString(c.alignment);
        const Box box = coverage(render());
        ASSERT_FALSE(box.empty());
        check(c.x, box.left, box.right, "x");
        check(c.y, box.top, box.bottom, "y");
        const bool vertical = std::string(c.alignment).rfind("縦書", 0) == 0;
        EXPECT_EQ(vertical, box.height() > box.width()) << "two squares in a column, else in a row";
    }
}

// The characters show one by one at the display speed; the image is made
// again only when the characters shown change or an input changes, and the
// same image is handed out while they do not.
TEST_F(TextInputTest, RevealedTextIsRedrawnOnlyWhenWhatShowsChanges) {
    newScene(200, 100);
    scene->videoRate = 30;
    scene->videoScale = 1;
    auto object = addText(L"abcdef", 0, {{L"表示速度", "10"}});
    const auto first = input(object, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(input(object, 1), first) << "one character until 0.1 s";
    EXPECT_EQ(input(object, 2), first);
    const auto second = input(object, 4);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->width, first->width) << "the block has the whole text's size from the start";
    const auto all = input(object, 60);
    EXPECT_EQ(input(object, 61), all) << "everything shown: the image stays";
    EXPECT_EQ(input(object, 99), all);
    const int64_t ink0 = coverage(render(0)).pixels, ink4 = coverage(render(4)).pixels,
                  ink60 = coverage(render(60)).pixels;
    EXPECT_LT(0, ink0);
    EXPECT_LT(ink0, ink4);
    EXPECT_LT(ink4, ink60);

    // A page clear after one second: the first page, then only the second.
    text(*object).text.text = L"ab<c1>cd";
    text(*object).showSpeed.values = {0};
    const Box page1 = coverage(render(15)), page2 = coverage(render(45));
    EXPECT_GT(page1.pixels, 0);
    EXPECT_GT(page2.pixels, 0);
    EXPECT_NE(input(object, 15), input(object, 45));
    EXPECT_EQ(input(object, 45), input(object, 90));

    // Any input the image depends on makes a new one.
    struct Change {
        const wchar_t* item;
        const char* value;
    };
    const Change changes[] = {
        {L"文字色", "ff0000"},
        {L"文字装飾", "縁取り文字"},
        {L"影・縁色", "00ff00"},  // the edge takes its colour only with a decoration
        {L"サイズ", "30"},
        {L"字間", "3"},
        {L"行間", "3"},
        {L"B", "1"},
        {L"I", "1"},
        {L"フォント", "Beta Serif"},
        {L"テキスト", "abcd"},
        {L"文字揃え", "縦書 中央[中]"},
    };
    auto before = input(object, 90);
    for (const Change& c : changes) {
        SCOPED_TRACE(System::wideToUtf8(c.item));
        object->effects[0]->findItemByName(c.item)->fromString(c.value);
        const auto after = input(object, 90);
        EXPECT_NE(after, before);
        before = after;
    }
}

// Drawn one by one through the output, the characters land where the whole
// block draws them.
TEST_F(TextInputTest, SeparateCharactersLandWhereTheBlockDrawsThem) {
    newScene(240, 160);
    for (const char* alignment : {"左寄せ[上]", "中央揃え[中]", "右寄せ[下]", "縦書 上寄[右]", "縦書 中央[中]"}) {
        SCOPED_TRACE(alignment);
        scene = nullptr;
        newScene(240, 160);
        auto object =
            addText(L"Ag字\nxy", 0, {{L"サイズ", "30"}, {L"文字揃え", alignment}, {L"X", "10"}, {L"Y", "-5"}});
        const Picture whole = render();
        text(*object).separate.value = 1;
        const Picture pieces = render();
        // Each character keeps the fraction of its pen position, so its edges are resampled: the
        // ink matches within a pixel.
        const Box a = coverage(whole), b = coverage(pieces);
        EXPECT_GT(a.pixels, 300);
        EXPECT_NEAR(a.left, b.left, 1);
        EXPECT_NEAR(a.right, b.right, 1);
        EXPECT_NEAR(a.top, b.top, 1);
        EXPECT_NEAR(a.bottom, b.bottom, 1);
        EXPECT_NEAR(double(b.pixels) / double(a.pixels), 1.0, 0.1);
        Render::RenderContext context;
        context.scene = scene.get();
        context.resetObject(object);
        EXPECT_EQ(text(*object).inputVideo(context), nullptr) << "the characters went to the frame";
        EXPECT_EQ(context.count, 5);
    }
}

// Along the path: the object moving down carries a horizontal text turned
// to run downwards.
TEST_F(TextInputTest, CharactersFollowTheMovementPath) {
    newScene(200, 200);
    auto object = addText(L"ABCDEFGH", 0, {{L"サイズ", "20"}, {L"文字揃え", "中央揃え[中]"}}, 0, 29);
    moveLinearly(*object, 1, L"Y", -90, 90);
    const Box flat = coverage(render());
    EXPECT_GT(flat.width(), flat.height() * 2) << "without the path the text runs across";
    text(*object).separate.value = 1;
    text(*object).onPath.value = 1;
    const Box along = coverage(render());
    EXPECT_GT(along.height(), along.width() * 2) << "on the path it runs down";
    EXPECT_NEAR((along.left + along.right) / 2.0, 100, 4);
    EXPECT_LE(along.top, 20) << "the first character at the path's start";
}

// The object's length follows the reveal time when asked to: after an edit
// and after an edge moved, keeping the end when the start edge moved.
TEST_F(TextInputTest, FittedLengthFollowsTheRevealTime) {
    struct Case {
        const char* name;
        std::wstring text;
        double speed;
        bool fit, moving;
        int32_t kind;
        int32_t start, end;  // afterwards; the object starts as 60 to 199
    };
    const std::wstring thirty(30, L'x');
    const Case cases[] = {
        {"30 characters at 10 per second", thirty, 10, true, false, 1, 60, 149},
        {"a wait adds its second", L"abc<w1>", 10, true, false, 1, 60, 98},
        {"a moment still leaves one frame", L"a<w0.01>", 0, true, false, 1, 60, 60},
        {"start edge moved keeps the end", thirty, 10, true, false, 4, 110, 199},
        {"end edge moved keeps the start", thirty, 10, true, false, 5, 60, 149},
        {"no fitting asked", thirty, 10, false, false, 1, 60, 199},
        {"no reveal time", thirty, 0, true, false, 1, 60, 199},
        {"speed moving over the object", thirty, 10, true, true, 1, 60, 199},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        newScene(200, 100);
        scene->videoRate = 30;
        scene->videoScale = 1;
        auto object = addText(c.text.c_str(), 0, {}, 60, 199);
        Effect::TextInput& source = text(*object);
        source.autoLength.value = c.fit;
        source.showSpeed.values = {int32_t(c.speed * 100)};
        if (c.moving) moveLinearly(*object, 0, L"表示速度", 10, 20);
        bool resized;
        {
            Edit::UpdateSection scope(lock, scene, nullptr);
            Effect::ItemEvent event;
            event.kind = c.kind;
            event.scope = &scope;
            event.object = object;
            event.item = &source.text;
            resized = source.itemEvent(event);
        }
        EXPECT_EQ(resized, c.end != 199 || c.start != 60);
        EXPECT_EQ(object->start, c.start);
        EXPECT_EQ(object->end, c.end);
    }
}

TEST_F(TextInputTest, DisplayNameShortensAndShowsLineBreaks) {
    struct Case {
        std::wstring text, name;
    };
    const std::wstring hundred(100, L'a'), long150 = std::wstring(100, L'b') + std::wstring(50, L'c');
    const Case cases[] = {
        {L"", L"テキスト"},
        {L"hello", L"hello"},
        {hundred, hundred},
        {long150, std::wstring(100, L'b') + L"..."},
        {L"a\nb", L"a\u23CEb"},
        {L"a\tb\r", L"a b "},
        {std::wstring(99, L'x') + L"\n" + L"yz", std::wstring(99, L'x') + L"\u23CE..."},
    };
    Effect::TextInput source;
    for (const Case& c : cases) {
        SCOPED_TRACE(System::wideToUtf8(c.text));
        source.text.text = c.text;
        Effect::ItemEvent edited;
        edited.kind = Effect::ItemEvent::kItemChanged;
        edited.item = &source.text;
        source.itemEvent(edited);  // the edit drops the cached name
        EXPECT_EQ(source.getDisplayName(), c.name);
    }
}

// Inline script blocks through an installed runner: "=expr" becomes a call
// of mes, each block runs once, every copy of a block takes the first run's
// text, and a failing block writes nothing.
TEST_F(TextInputTest, ScriptBlocksAreReplacedByWhatTheyWrite) {
    struct Runner : Effect::TextInput::InlineScripts {
        std::vector<std::wstring> codes;
        std::wstring run(Effect::TextInput&, const std::wstring& code, Render::RenderContext*) override {
            codes.push_back(code);
            if (code == L"fail()") throw std::runtime_error("boom");
            if (code == L"mes(1+2)") return L"3";
            return L"<" + std::to_wstring(codes.size()) + L">";
        }
    };
    struct Case {
        const wchar_t* text;
        const wchar_t* shown;
        std::vector<std::wstring> codes;
    };
    const Case cases[] = {
        {L"sum <?=1+2?>!", L"sum 3!", {L"mes(1+2)"}},
        {L"<?a?> and <?a?>", L"<1> and <1>", {L"a", L"a"}},
        {L"<?a?><?b?>", L"<1><2>", {L"a", L"b"}},
        {L"x<?fail()?>y", L"xy", {L"fail()"}},
        {L"multi<?line\nend?>", L"multi<1>", {L"line\nend"}},
        {L"<? open", L"<? open", {}},
        {L"<?>?>", L"<1>", {L">"}},
        {L"a?><?b", L"a?><?b", {}},
    };
    Runner runner;
    Effect::TextInput::InlineScripts* previous = Effect::TextInput::setInlineScripts(&runner);
    Effect::TextInput source;
    for (const Case& c : cases) {
        SCOPED_TRACE(System::wideToUtf8(c.text));
        runner.codes.clear();
        source.text.text = c.text;
        Media::TextDraw layout;
        Effect::TextInput::LayoutText texts;
        source.buildTextLayout(layout, texts, nullptr, Effect::TextInput::alignmentRow(0),
                               Effect::TextInput::decorationRow(0));
        EXPECT_EQ(texts.text, c.shown);
        EXPECT_EQ(runner.codes, c.codes);
    }
    // A long block is found like a short one.
    runner.codes.clear();
    source.text.text = L"<?" + std::wstring(300000, L'x') + L"?>!";
    Media::TextDraw layout;
    Effect::TextInput::LayoutText texts;
    source.buildTextLayout(layout, texts, nullptr, Effect::TextInput::alignmentRow(0),
                           Effect::TextInput::decorationRow(0));
    EXPECT_EQ(texts.text, L"<1>!");
    ASSERT_EQ(runner.codes.size(), 1u);
    EXPECT_EQ(runner.codes[0].size(), 300000u);
    Effect::TextInput::setInlineScripts(previous);
    bool logged = false;
    for (const auto& line : log.lines)
        logged |= line.scope == "Effect::TextInput::expandScript" && line.message == "script exception: boom";
    EXPECT_TRUE(logged);
}

TEST_F(TextInputTest, NothingToDrawGivesNoImageAndAMissingFontKeyThrows) {
    newScene(100, 100);
    auto object = addText(L"", 0);
    EXPECT_EQ(input(object), nullptr);
    text(*object).text.text = L"\n\n";
    EXPECT_EQ(input(object), nullptr) << "no character, nothing measured";
    text(*object).text.text = L"x";
    text(*object).font.index = 999;
    try {
        input(object);
        FAIL() << "no exception";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid map<K, T> key");
    }
}

// A colour tag may name a preset colour of the palettes: with no palette file
// the registry's built-in palette names "red".
TEST_F(TextInputTest, AColourTagNamingAPresetColourDrawsInIt) {
    newScene(120, 120);
    addText(L"<#red>■", 0, {{L"サイズ", "60"}});
    const Picture picture = render();
    int32_t solid = 0;
    for (uint32_t y = 0; y < picture.height; ++y)
        for (uint32_t x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.at(x, y);
            if (p[3] != 255) continue;
            ++solid;
            EXPECT_LE(p[0], 2) << x << "," << y;
            EXPECT_LE(p[1], 2) << x << "," << y;
            EXPECT_GE(p[2], 253) << x << "," << y;
            if (HasFailure()) return;
        }
    EXPECT_GT(solid, 100);
}

}  // namespace
}  // namespace SourceTest
