// The object commands on a real edit service: each one as a table of cases
// against the scene's state text, with one undo step that brings back the
// exact text before it and a redo that brings back the text after it. The
// model invariants are checked whenever an edit scope closes.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Clipboard.h"
#include "edit/EditCommandTargets.h"
#include "edit/EditService.h"
#include "edit/Group.h"
#include "edit/Object.h"
#include "edit/ObjectClipboard.h"
#include "edit/ObjectCreateCommands.h"
#include "edit/ObjectSplitCommands.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "edit/support/CommandFixture.h"
#include "edit/support/ModelFixture.h"
#include "support/LogCapture.h"

namespace {

using namespace EditTest;
using Edit::Object;
namespace Cmd = Edit::EditCommand;

class ObjectCommandTest : public CommandFixture {
public:
    // Undo takes objects back but never hands the focus back: the focus is
    // left out of the text undo and redo must restore.
    std::string stateText() override {
        std::string text = describe(scene());
        for (size_t at; (at = text.find(" focus\n")) != std::string::npos;) text.erase(at, 6);
        return text;
    }
    // A fresh service, and nothing left on the desktop clipboard from the case before.
    void restart() {
        CommandFixture::restart();
        System::Clipboard::setText(L"");
    }
    Edit::ObjectClipboard& clipboard() { return Cmd::editClipboard(); }
    std::string clipboardFrames() {
        Edit::Scene copies(9, 9);
        for (const auto& o : clipboard().objects) copies.createObject(o->layer, o->start, o->end);
        copies.update();
        return frames(copies);
    }
};

class ObjectCommandTable : public ObjectCommandTest {
protected:
    void runCases(const std::vector<CommandCase<ObjectCommandTest>>& cases) {
        EditTest::runCases<ObjectCommandTest>(*this, cases);
    }
};

TEST_F(ObjectCommandTable, CreateObjectFindsTheFirstFreeSpan) {
    const auto at = [](int32_t layer, int32_t frame) {
        return [=](auto&) { Cmd::createObject(kImage, layer, frame); };
    };
    runCases({
        {"empty layer, zoom 10000", [](auto&) {}, at(0, 100), "L0: 100..180"},
        {"zoom 100000", [](auto& t) { t.scene().displayZoom.value = 100000; }, at(0, 100), "L0: 100..108"},
        {"behind the object covering the frame", [](auto& t) { t.add(0, 90, 120); }, at(0, 100),
         "L0: 90..120 121..201"},
        {"cut short by the next object",
         [](auto& t) {
             t.add(0, 90, 120);
             t.add(0, 150, 170);
         },
         at(0, 100), "L0: 90..120 121..149 150..170"},
        {"behind back-to-back objects",
         [](auto& t) {
             t.add(0, 90, 120);
             t.add(0, 121, 200);
         },
         at(0, 100), "L0: 90..120 121..200 201..281"},
        {"slots made up to the layer", [](auto& t) { t.add(2, 0, 9); }, at(7, 0), "L2: 0..9; L7: 0..80"},
    });
}

TEST_F(ObjectCommandTest, CreateObjectFocusesTheNewObjectAndUnknownEffectsThrow) {
    auto made = Cmd::createObject(kMovie, 1, 5);
    EXPECT_EQ(scene().focusObject, made);
    ASSERT_EQ(made->effects.size(), 2u);
    EXPECT_EQ(made->effects[0]->name, std::wstring(kMovie));
    EXPECT_EQ(made->effects[1]->name, std::wstring(kPlayBoth));
    const size_t records = undo().history()->records.size();
    EXPECT_THROW(Cmd::createObject(L"無い効果", 0, 0), std::exception);
    EXPECT_EQ(frames(scene()), "L1: 5..85");
    EXPECT_EQ(undo().history()->records.size(), records);
}

TEST_F(ObjectCommandTest, PassingAFileSendsItToTheSourceAfterSorting) {
    add(0, 0, 9);
    auto made = Cmd::createObject(kImage, 0, 0, Cmd::passFile(L"/tmp/a.png"));
    EXPECT_EQ(static_cast<TestEffect&>(*made->effects[0]).lastEvent, Effect::ItemEvent::kFileGiven);
    EXPECT_EQ(frames(scene()), "L0: 0..9 10..90");
}

TEST_F(ObjectCommandTable, DeleteRemovesTheTargets) {
    runCases({
        {"the selection, not the focus object",
         [](auto& t) {
             auto a = t.add(0, 0, 9);
             auto b = t.add(1, 0, 9);
             t.select({a});
             t.scene().focusObject = b;
         },
         [](auto&) { Cmd::deleteObject(); }, "L1: 0..9"},
        {"the focus object alone", [](auto& t) { t.scene().focusObject = t.add(0, 0, 9); },
         [](auto&) { Cmd::deleteObject(); }, ""},
        {"a focus object off the model",
         [](auto& t) {
             auto a = t.add(0, 0, 9);
             t.add(0, 20, 29);
             t.scene().focusObject = a;
             auto scope = t.service().openSection();
             scope->layersChanged = true;
             Cmd::takeOutObject(*scope->scene, *a);
         },
         [](auto&) { Cmd::deleteObject(); }, "L0: 20..29"},
    });
    EXPECT_TRUE(scene().selection.objects.empty());
}

TEST_F(ObjectCommandTest, LoadObjectReadsSavedObjectsAndReportsBadFiles) {
    writeFile(appData() / "a.object", "[Object]\r\nframe=0,10,30\r\n[Object.0]\r\neffect.name=画像ファイル\r\n");
    writeFile(appData() / "none.object", "[Effect.0]\r\neffect.name=画像ファイル\r\n");
    writeFile(appData() / "b.effect", "[Effect.0]\r\neffect.name=ぼかし\r\n");
    add(0, 0, 4);
    const auto path = [&](const char* name) { return System::utf8ToWide((appData() / name).string()); };
    expectCommand(
        "object file", [&] { Cmd::loadObject(path("a.object"), 0, 0); }, "L0: 0..4 5..35{10}");
    expectCommand(
        "effect file", [&] { Cmd::loadObject(path("b.effect"), 1, 0); }, "L0: 0..4 5..35{10}; L1: 0..80");
    EXPECT_EQ(scene().getLayer(1).objects[0]->effects[0]->name, std::wstring(kBlur));
    expectCommand(
        "no object section", [&] { Cmd::loadObject(path("none.object"), 2, 0); }, "L0: 0..4 5..35{10}; L1: 0..80");
    expectCommand(
        "missing file", [&] { Cmd::loadObject(path("gone.object"), 2, 0); }, "L0: 0..4 5..35{10}; L1: 0..80");
    EXPECT_EQ(posted, (std::vector<std::wstring>(2, L"エイリアスの読み込みに失敗しました")));
}

TEST_F(ObjectCommandTable, SplitCutsTargetsHoldingTheFrame) {
    const auto splitAt = [](int32_t frame) { return [=](auto&) { Cmd::splitObject(frame); }; };
    runCases({
        {"only the object the frame lies after the start of",
         [](auto& t) {
             t.select({t.add(0, 0, 99), t.add(1, 50, 149)});
         },
         splitAt(50), "L0: 0..49 50..99; L1: 50..149"},
        {"at the end frame", [](auto& t) { t.select({t.add(0, 0, 99)}); }, splitAt(99), "L0: 0..98 99..99"},
        {"grouped objects give two new groups",
         [](auto& t) {
             auto a = t.add(0, 0, 99), b = t.add(1, 0, 99), c = t.add(2, 0, 99);
             t.group({a, b, c});
             t.select({a, b});
         },
         splitAt(50), "L0: 0..49[a] 50..99[b]; L1: 0..49[a] 50..99[b]; L2: 0..99[c]"},
        {"midpoints stay with their pieces",
         [](auto& t) {
             auto a = t.add(0, 0, 30);
             a->addSection(10);
             a->addSection(20);
             t.scene().focusObject = a;
         },
         splitAt(15), "L0: 0..14{10} 15..30{5}"},
        {"a midpoint next to the frame leaves both pieces",
         [](auto& t) {
             auto a = t.add(0, 0, 30);
             a->addSection(10);
             t.scene().focusObject = a;
         },
         splitAt(11), "L0: 0..10 11..30"},
        {"no target holds the frame", [](auto& t) { t.select({t.add(0, 10, 20)}); }, splitAt(10), "L0: 10..20"},
        {"no targets", [](auto& t) { t.add(0, 0, 99); }, splitAt(50), "L0: 0..99"},
    });
}

TEST_F(ObjectCommandTest, SplitHandsTheFocusToTheFirstPieceAndTellsTheSource) {
    auto a = add(0, 0, 99);
    scene().focusObject = a;
    Cmd::splitObject(40);
    ASSERT_NE(scene().focusObject, nullptr);
    EXPECT_EQ(scene().focusObject->end, 39);
    for (const auto& o : scene().getLayer(0).objects)
        EXPECT_EQ(static_cast<TestEffect&>(*o->effects[0]).lastEvent, Effect::ItemEvent::kSplit);
    EXPECT_EQ(a->layer, -1);
}

TEST_F(ObjectCommandTable, CutRemovesObjectsOrAFrameRange) {
    const auto cut = [](auto&) { Cmd::cutObject(); };
    const auto range = [](ObjectCommandTest& t, int32_t s, int32_t e) {
        t.scene().selectedStart = s;
        t.scene().selectedEnd = e;
    };
    runCases({
        {"without a range: copy and delete",
         [](auto& t) {
             t.select({t.add(0, 0, 99)});
             t.add(1, 0, 9);
         },
         cut, "L1: 0..9"},
        {"the middle of one object",
         [=](auto& t) {
             t.select({t.add(0, 0, 299)});
             range(t, 100, 199);
         },
         cut, "L0: 0..99 100..199"},
        {"a tail and a head, the rest moved back",
         [=](auto& t) {
             t.select({t.add(0, 50, 149), t.add(1, 150, 249)});
             range(t, 100, 199);
         },
         cut, "L0: 50..99; L1: 100..149"},
        {"an object inside the range goes to the clipboard",
         [=](auto& t) {
             t.select({t.add(0, 120, 130), t.add(0, 300, 399)});
             range(t, 100, 199);
         },
         cut, "L0: 200..299"},
        {"an object in the gap stops the move behind it",
         [=](auto& t) {
             t.add(0, 250, 260);
             t.select({t.add(0, 300, 399)});
             range(t, 100, 199);
         },
         cut, "L0: 250..260 261..360"},
        {"a blocked move that cannot go back leaves the objects",
         [=](auto& t) {
             t.add(0, 290, 299);
             t.select({t.add(0, 300, 399)});
             range(t, 100, 199);
         },
         cut, "L0: 290..299 300..399"},
        {"grouped pieces stay in the group",
         [=](auto& t) {
             auto a = t.add(0, 0, 299), b = t.add(1, 0, 50);
             t.group({a, b});
             t.select({a});
             range(t, 100, 199);
         },
         cut, "L0: 0..99[a] 100..199[a]; L1: 0..50[a]"},
    });
}

TEST_F(ObjectCommandTest, RangeCutFillsTheClipboardMovesTheCursorAndClearsTheRange) {
    auto a = add(0, 0, 299);
    select({a});
    scene().focusObject = a;
    scene().selectedStart = 100;
    scene().selectedEnd = 199;
    scene().cursorFrame = 250;
    Cmd::cutObject();
    EXPECT_EQ(clipboardFrames(), "L0: 100..199");
    EXPECT_EQ(scene().cursorFrame, 100);
    EXPECT_EQ(scene().selectedStart, -1);
    EXPECT_EQ(scene().selectedEnd, -1);
    EXPECT_TRUE(scene().selection.objects.empty());
    // The focus goes to the piece in front of the range.
    ASSERT_NE(scene().focusObject, nullptr);
    EXPECT_EQ(scene().focusObject->end, 99);
}

TEST_F(ObjectCommandTest, CutWithoutARangeLogsItsOwnLineAndTheCopyAndDelete) {
    select({add(0, 0, 99)});
    LogCapture log;
    Cmd::cutObject();
    std::vector<std::string> messages;
    for (const auto& line : log.lines)
        if (line.scope.rfind("Edit::EditCommand::", 0) == 0) messages.push_back(line.message);
    EXPECT_EQ(messages, (std::vector<std::string>{"cut object num=1", "copy object num=1", "delete object num=1"}));
    EXPECT_EQ(clipboardFrames(), "L0: 0..99");
}

TEST_F(ObjectCommandTable, PasteAndDuplicatePlaceBlocksWhereTheyFit) {
    const auto copyThen = [](std::function<void()> then) {
        return [then](auto&) {
            Cmd::copyObject();
            then();
        };
    };
    runCases({
        {"layers 2 and 5 pasted at layer 0",
         [](auto& t) {
             t.select({t.add(2, 0, 9), t.add(5, 20, 29)});
         },
         copyThen([] { Cmd::pasteObject(0, 100); }), "L0: 100..109; L2: 0..9; L3: 120..129; L5: 20..29"},
        {"shifted right past an object",
         [](auto& t) {
             t.select({t.add(1, 0, 59)});
             t.add(0, 120, 130);
         },
         copyThen([] { Cmd::pasteObject(0, 100); }), "L0: 120..130 131..190; L1: 0..59"},
        {"shifted again for another layer of the block",
         [](auto& t) {
             t.select({t.add(2, 0, 9), t.add(3, 0, 9)});
             t.add(0, 100, 105);
             t.add(1, 106, 115);
         },
         copyThen([] { Cmd::pasteObject(0, 100); }),
         "L0: 100..105 116..125; L1: 106..115 116..125; L2: 0..9; L3: 0..9"},
        {"groups of the copies become new groups",
         [](auto& t) {
             auto a = t.add(0, 0, 9), b = t.add(1, 0, 9), c = t.add(2, 0, 9);
             t.group({a, b});
             t.select({a, b, c});
         },
         copyThen([] { Cmd::pasteObject(0, 50); }), "L0: 0..9[a] 50..59[b]; L1: 0..9[a] 50..59[b]; L2: 0..9 50..59"},
        {"from the menu, cursor inside the block: same frames, next free layers",
         [](auto& t) {
             t.select({t.add(0, 10, 20), t.add(1, 10, 20)});
             t.scene().cursorFrame = 15;
         },
         copyThen([] { Cmd::pasteObject(); }), "L0: 10..20; L1: 10..20; L2: 10..20; L3: 10..20"},
        {"from the menu, cursor after the block: at the cursor",
         [](auto& t) {
             t.select({t.add(0, 10, 20)});
             t.scene().cursorFrame = 40;
         },
         copyThen([] { Cmd::pasteObject(); }), "L0: 10..20 40..50"},
        {"duplicate one object on the free layer below", [](auto& t) { t.select({t.add(3, 10, 20)}); },
         [](auto&) { Cmd::duplicateObject(); }, "L3: 10..20; L4: 10..20"},
        {"duplicate skips a layer where the block does not fit",
         [](auto& t) {
             t.scene().focusObject = t.add(0, 10, 20);
             t.add(1, 15, 16);
         },
         [](auto&) { Cmd::duplicateObject(); }, "L0: 10..20; L1: 15..16; L2: 10..20"},
        {"copy changes nothing", [](auto& t) { t.select({t.add(0, 0, 9)}); }, [](auto&) { Cmd::copyObject(); },
         "L0: 0..9"},
        {"paste of an empty clipboard", [](auto& t) { t.add(0, 0, 9); }, [](auto&) { Cmd::pasteObject(); }, "L0: 0..9"},
    });
}

TEST_F(ObjectCommandTest, PasteTakesThePointerPositionOverTheTimeline) {
    select({add(0, 0, 9)});
    Cmd::copyObject();
    auto previous = Cmd::setPointerPosition([] { return std::optional<Cmd::PastePoint>({{2, -5}}); });
    Cmd::pasteObject();
    Cmd::setPointerPosition(std::move(previous));
    EXPECT_EQ(frames(scene()), "L0: 0..9; L2: 0..9");
}

TEST_F(ObjectCommandTest, ClipboardTextCarriesTheCopiesToAnotherClipboard) {
    auto a = add(0, 0, 30), b = add(1, 5, 9, kAudio), c = add(2, 0, 9);
    a->addSection(10);
    a->clipping = true;
    xItem(a->effects[0]).values = {10, 20, 30};
    static_cast<TestEffect&>(*a->effects[0]).text->text = L"複数の行";
    b->camera = false;
    group({a, b});
    select({a, b, c});
    Cmd::copyObject();
    const std::wstring text = clipboard().publishedText;
    ASSERT_EQ(text.rfind(L"[ObjectClipboard]\r\ncount=3\r\n", 0), 0u);

    // Another program's copies: read from the text, pasted as the originals would be.
    Edit::ObjectClipboard other;
    ASSERT_TRUE(other.loadText(text));
    ASSERT_EQ(other.objects.size(), 3u);
    other.paste(service(), 3, 0);
    clipboard().paste(service(), 6, 0);
    auto layerText = [&](int32_t from) {
        std::string out;
        for (int32_t l = from; l < from + 3; ++l)
            for (const auto& o : scene().getLayer(l).objects) {
                out += std::to_string(l - from) + " " + std::to_string(o->start) + ".." + std::to_string(o->end) +
                       (o->clipping ? " clip" : "") + (o->camera ? "" : " nocamera") +
                       (o->group ? " group" + std::to_string(o->group->members.size()) : "") + "\n";
                for (const auto& e : o->effects) {
                    out += "  " + System::wideToUtf8(e->name) + ":";
                    for (const auto* item : e->items) out += " " + item->toString();
                    out += "\n";
                }
            }
        return out;
    };
    EXPECT_EQ(layerText(3), layerText(6));
    EXPECT_EQ(frames(scene()),
              "L0: 0..30{10}[a]; L1: 5..9[a]; L2: 0..9; L3: 0..30{10}[b]; L4: 5..9[b]; L5: 0..9; "
              "L6: 0..30{10}[c]; L7: 5..9[c]; L8: 0..9");

    for (const wchar_t* bad : {L"", L"plain text", L"[ObjectClipboard]\r\ncount=1\r\n[0]\r\nlayer=x\r\n",
                               L"[ObjectClipboard]\r\ncount=0\r\n"}) {
        Edit::ObjectClipboard kept;
        kept.addObject(*a);
        EXPECT_FALSE(kept.loadText(bad)) << System::wideToUtf8(bad);
        EXPECT_EQ(kept.objects.size(), 1u);
    }
}

TEST_F(ObjectCommandTest, ClipboardExtentAndFitting) {
    EXPECT_TRUE(Edit::ObjectClipboard::getObjectRange({}).layers.empty());
    auto a = add(2, 10, 20), b = add(2, 30, 40), c = add(5, 0, 5);
    const Edit::ObjectRange range = Edit::ObjectClipboard::getObjectRange({b, c, a});
    EXPECT_EQ(range.lowestLayer, 2);
    EXPECT_EQ(range.highestLayer, 5);
    EXPECT_EQ(range.lowestStart, 0);
    EXPECT_EQ(range.highestEnd, 40);
    ASSERT_EQ(range.layers.size(), 2u);
    EXPECT_EQ(range.layers.at(2).start, 10);
    EXPECT_EQ(range.layers.at(2).end, 40);

    Edit::ObjectClipboard block;
    block.addObject(*a);
    int32_t layerOffset = 0;
    EXPECT_FALSE(block.canPasteAt(scene(), 0, layerOffset));
    EXPECT_EQ(layerOffset, 1);
    EXPECT_TRUE(block.canPasteAt(scene(), 0, layerOffset));
    EXPECT_EQ(layerOffset, 1);
}

}  // namespace
