// The rows of the object settings panel for every kind of item but numbers,
// driven through the input router as the user drives them: what a click, a
// typed text, the wheel or a dialog answer stores in the item, and that each
// edit is the undo step it should be.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingFixture.h"
#include "edit/Project.h"
#include "edit/UndoService.h"
#include "effect/EffectItemButton.h"
#include "effect/EffectItemCheckButton.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemComboFile.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemMaskSelect.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemLayerRange.h"
#include "effect/EffectItemScene.h"
#include "effect/EffectItemSelect.h"
#include "effect/EffectItemSelectButton.h"
#include "effect/EffectItemString.h"
#include "effect/EffectItemText.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "support/ScriptedFiles.h"
#include "ui/framework/ListBox.h"
#include "ui/framework/ShortcutList.h"
#include "ui/settings/EffectItemButtonControl.h"
#include "ui/settings/EffectItemCheckButtonControl.h"
#include "ui/settings/EffectItemCheckControl.h"
#include "ui/settings/EffectItemColorControl.h"
#include "ui/settings/EffectItemComboFileControl.h"
#include "ui/settings/EffectItemMaskSelectControl.h"
#include "ui/settings/EffectItemFileControl.h"
#include "ui/settings/EffectItemIntegerControl.h"
#include "ui/settings/EffectItemSceneControl.h"
#include "ui/settings/EffectItemSelectButtonControl.h"
#include "ui/settings/EffectItemSelectControl.h"
#include "ui/settings/EffectItemStringControl.h"
#include "ui/settings/EffectItemTextControl.h"

namespace {

namespace W = Platform::window;
using TestSupport::Input;
using TestSupport::RouterStep;

std::shared_ptr<const Effect::EffectItemSelect::SharedList> options() {
    auto list = Effect::EffectItemSelect::SharedList::create();
    list->add(2, L"左");
    list->add(5, L"中央");
    list->add(9, L"右");
    return list;
}

// One item of every kind the rows here edit; counts the item events.
class RowsEffect : public Effect::EffectBase {
public:
    explicit RowsEffect(const wchar_t* effectName = L"行の効果") {
        name = effectName;
        role = kFilter;
        media = kVideo;
        placement = kVideo;
        check.notify = 1;
        select.notify = 1;
        string.notify = 1;
        scene.notify = 1;
        pickA.layout.width = 0.4f;
        pickB.layout.width = 0.4f;
        bold.layout.width = 0.1f;
        italic.layout.width = 0.1f;
        integer.placeholder = L"なし";
        push.action = [this] { ++pushes; };
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<RowsEffect>(name); }
    bool itemEvent(const Effect::ItemEvent& event) override {
        events.push_back(event.item);
        return true;
    }
    Effect::EffectItemInteger* getLayerRange() override { return &range; }

    Effect::EffectItemCheck check{&items, L"チェック"};
    Effect::EffectItemSelectButton pickA{&items, L"配置A", 2, options()};
    Effect::EffectItemSelectButton pickB{&items, L"配置B", 5, options()};
    Effect::EffectItemCheckButton bold{&items, L"B"};
    Effect::EffectItemCheckButton italic{&items, L"I"};
    Effect::EffectItemButton push{&items, L"実行"};
    Effect::EffectItemInteger integer{&items, L"整数", 5, 0, 100};
    Effect::EffectItemLayerRange range{&items, L"対象レイヤー数", 0, 0, 100};
    Effect::EffectItemString string{&items, L"文字列"};
    Effect::EffectItemText text{&items, L"テキスト"};
    Effect::EffectItemFile file{&items, L"参照ファイル"};
    Effect::EffectItemSelect select{&items, L"選択", 5, options()};
    Effect::EffectItemColor colour{&items, L"色", 10, 20, 30};
    Effect::EffectItemColor unsetColour{&items, L"未指定可", 255, 255, 255, Effect::EffectItem::kColorUnset};
    Effect::EffectItemScene scene{&items, L"シーン", 0, 0, 100};
    std::vector<const Effect::EffectItem*> events;
    int32_t pushes = 0;
};

// A mask with its scene-length check and a figure that may be a file.
class MaskEffect : public Effect::EffectBase {
public:
    MaskEffect() {
        name = L"マスクの効果";
        role = kFilter;
        media = kVideo;
        placement = kVideo;
        mask.options = figures().get();
        figure.notify = 1;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<MaskEffect>(); }
    bool itemEvent(const Effect::ItemEvent& event) override {
        events.push_back(event.item);
        return true;
    }
    static std::shared_ptr<const Effect::EffectItemSelect::SharedList> figures() {
        static const auto list = [] {
            auto l = Effect::EffectItemSelect::SharedList::create();
            l->add(0, L"背景");
            l->add(1, L"円");
            l->add(2, L"四角形");
            return l;
        }();
        return list;
    }

    Effect::EffectItemMaskSelect mask{&items, L"マスクの種類", &fit};
    Effect::EffectItemCheck fit{&items, L"シーンの長さを合わせる"};
    Effect::EffectItemComboFile figure{&items, L"図形", 1, figures().get()};
    std::vector<const Effect::EffectItem*> events;
};

class ItemRows : public SettingWindow {
protected:
    void TearDown() override {
        W::setMenuAnswerHook(nullptr);
        if (Window::ListBox::listShown) Window::ListBox::hide();
        SettingWindow::TearDown();
    }

    std::shared_ptr<Edit::Object> addRowsObject(int32_t layer, const wchar_t* name = L"行の効果") {
        auto object = scene->createObject(layer, 0, 99);
        object->effects.push_back(std::make_shared<RowsEffect>(name));
        scene->update();
        return object;
    }
    static RowsEffect& rowsOf(const std::shared_ptr<Edit::Object>& object) {
        return static_cast<RowsEffect&>(*object->effects.front());
    }
    // The shown object's block in a 400 x 1000 area and the row of an item.
    Component::EffectSetting& show(const std::shared_ptr<Edit::Object>& object) {
        area = {0, 0, 400, 1000};
        return showBlock(object);
    }
    template <class Row>
    Row& rowOf(Component::EffectSetting& block, const Effect::EffectItem& item) {
        auto* row = dynamic_cast<Row*>(block.findItemControl(&item));
        EXPECT_NE(row, nullptr) << "no row for the item";
        return *row;
    }

    static RouterStep centre(Input input, const Window::WindowControl& control) {
        return {input, control.fullRect.x + control.fullRect.w / 2, control.fullRect.y + control.fullRect.h / 2, 0};
    }
    void click(const Window::WindowControl& control) {
        driver.run({centre(Input::Move, control), centre(Input::Press, control), centre(Input::Release, control)});
    }
    static Window::WindowMouseService& router() { return *Window::WindowMouseService::get(); }
    static void type(const std::u16string& units) {
        for (char16_t u : units) router().dispatch(router().window, W::kWmChar, u, 0);
    }
    static void hold(uint32_t vk, bool down) {
        W::Message m;
        m.message = down ? W::kWmKeyDown : W::kWmKeyUp;
        m.wParam = vk;
        W::KeyMap::noteRetrieved(m);
        W::KeyMap::noteEvent(vk, down);  // what the shortcut list reads
    }
    static void key(uint32_t vk, bool ctrl = false) {
        hold(W::kVkControl, ctrl);
        router().dispatch(router().window, W::kWmKeyDown, vk, 0);
        hold(W::kVkControl, false);
    }
    // Answers the next popup menus with the entry of this label (none when
    // empty) and keeps what they offered, a '*' before a marked entry.
    void answerMenus(const std::string& label) {
        W::setMenuAnswerHook([this, label](W::MenuHandle menu, const W::Point&) {
            offered.clear();
            uint32_t chosen = 0;
            for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
                std::string text;
                W::getMenuStringAt(menu, i, text);
                const auto id = static_cast<uint32_t>(W::getMenuItemId(menu, i));
                offered.push_back((W::isMenuItemChecked(menu, id) ? "*" : "") + text);
                if (!label.empty() && text == label) chosen = id;
            }
            return chosen;
        });
    }
    // Undoes every step there is; how many there were.
    static int32_t undoAll() {
        int32_t steps = 0;
        while (Undo::UndoService::get()->canUndo() && Undo::UndoService::get()->undo()) ++steps;
        return steps;
    }

    std::vector<std::string> offered;
};

TEST_F(ItemRows, ACheckTogglesFromItsBoxItsNameAndTheEmptyRestOfTheRow) {
    auto object = addRowsObject(0);
    Component::EffectSetting& block = show(object);
    auto& row = rowOf<Component::EffectItemCheckControl>(block, rowsOf(object).check);
    const struct {
        const char* where;
        RouterStep at;
    } presses[] = {
        {"box", centre(Input::Press, row.checkBox)},
        {"name", {Input::Press, row.label.fullRect.x + 5, row.label.fullRect.y + 5, 0}},
        {"empty end", {Input::Press, row.fullRect.x + row.fullRect.w - 3, row.fullRect.y + row.fullRect.h / 2, 0}},
    };
    uint8_t expected = 0;
    for (const auto& p : presses) {
        driver.run({{Input::Move, p.at.x, p.at.y}, p.at, {Input::Release, p.at.x, p.at.y}});
        expected ^= 1;
        EXPECT_EQ(rowsOf(object).check.value, expected) << p.where;
        EXPECT_EQ(row.checkBox.checkState, expected != 0) << p.where;
    }
    EXPECT_EQ(rowsOf(object).events.size(), 3u) << "the check tells the effect each time";
    EXPECT_EQ(undoAll(), 3) << "one step a click";
    EXPECT_EQ(rowsOf(object).check.value, 0);
}

TEST_F(ItemRows, ACheckChangesTheSameItemOfTheOtherSelectedObjectsInOneStep) {
    auto shown = addRowsObject(0);
    auto twin = addRowsObject(1);
    auto otherItem = addRowsObject(2);
    rowsOf(otherItem).check.name = L"別のチェック";  // another item at that place
    scene->selection.objects = {shown, twin, otherItem};
    Component::EffectSetting& block = show(shown);
    click(rowOf<Component::EffectItemCheckControl>(block, rowsOf(shown).check).checkBox);
    EXPECT_EQ(rowsOf(shown).check.value, 1);
    EXPECT_EQ(rowsOf(twin).check.value, 1);
    EXPECT_EQ(rowsOf(otherItem).check.value, 0);
    EXPECT_EQ(rowsOf(twin).events.size(), 0u) << "twins get no item event";
    EXPECT_EQ(undoAll(), 1);
    EXPECT_EQ(rowsOf(shown).check.value, 0);
    EXPECT_EQ(rowsOf(twin).check.value, 0);
}

TEST_F(ItemRows, ButtonsWithSharesFillOneLineAndToggleOnlyTheShownObject) {
    auto shown = addRowsObject(0);
    auto twin = addRowsObject(1);
    scene->selection.objects = {shown, twin};
    Component::EffectSetting& block = show(shown);
    RowsEffect& effect = rowsOf(shown);
    auto& pickA = rowOf<Component::EffectItemSelectButtonControl>(block, effect.pickA);
    auto& pickB = rowOf<Component::EffectItemSelectButtonControl>(block, effect.pickB);
    auto& bold = rowOf<Component::EffectItemCheckButtonControl>(block, effect.bold);
    auto& italic = rowOf<Component::EffectItemCheckButtonControl>(block, effect.italic);
    auto& push = rowOf<Component::EffectItemButtonControl>(block, effect.push);
    const struct {
        Component::EffectItemBaseControl* row;
        int32_t x, w;
        bool leftMargin;
    } line[] = {{&pickA, 0, 160, true}, {&pickB, 160, 160, false}, {&bold, 320, 40, false}, {&italic, 360, 40, false}};
    for (const auto& l : line) {
        EXPECT_EQ(l.row->fullRect.y, pickA.fullRect.y) << l.x;
        EXPECT_EQ(l.row->fullRect.x, l.x);
        EXPECT_EQ(l.row->fullRect.w, l.w) << l.x;
        EXPECT_EQ(l.row->frame.layoutX != 0, l.leftMargin) << l.x;
    }
    EXPECT_GT(push.fullRect.y, pickA.fullRect.y) << "the line ends after the last share";

    click(italic.toggle);
    EXPECT_EQ(effect.italic.value, 1);
    EXPECT_EQ(rowsOf(twin).italic.value, 0) << "a toggle leaves the other objects";
    // A press on the row beside the toggle's face toggles too.
    driver.run({{Input::Press, bold.fullRect.x + 1, bold.fullRect.y + bold.fullRect.h - 1},
                {Input::Release, bold.fullRect.x + 1, bold.fullRect.y + bold.fullRect.h - 1}});
    EXPECT_EQ(effect.bold.value, 1);
    EXPECT_TRUE(effect.events.empty()) << "toggles send no item event";
    click(push.button);
    EXPECT_EQ(effect.pushes, 1);
    EXPECT_EQ(undoAll(), 2) << "the button adds no step of its own";
    EXPECT_EQ(effect.italic.value + effect.bold.value, 0);
}

TEST_F(ItemRows, ASelectButtonsMenuListsTheOptionsAndChoosesOne) {
    auto object = addRowsObject(0);
    Component::EffectSetting& block = show(object);
    auto& row = rowOf<Component::EffectItemSelectButtonControl>(block, rowsOf(object).pickB);
    EXPECT_EQ(row.button.text, L"中央");
    answerMenus("右");
    click(row.button);
    EXPECT_EQ(offered, (std::vector<std::string>{"左", "*中央", "右"}));
    EXPECT_EQ(rowsOf(object).pickB.index, 9);
    EXPECT_EQ(row.button.text, L"右");
    answerMenus("");
    click(row.button);
    EXPECT_EQ(rowsOf(object).pickB.index, 9) << "a closed menu changes nothing";
    EXPECT_EQ(undoAll(), 1);
    EXPECT_EQ(rowsOf(object).pickB.index, 5);
}

TEST_F(ItemRows, TypedIntegersAreLimitedAndEachEntryIsOneStep) {
    auto object = addRowsObject(0);
    Component::EffectSetting& block = show(object);
    RowsEffect& effect = rowsOf(object);
    auto& integer = rowOf<Component::EffectItemIntegerControl>(block, effect.integer);
    auto& range = rowOf<Component::EffectItemIntegerControl>(block, effect.range);
    // What the slider's face shows.
    const auto face = [](const Control::SliderInputControl& s) {
        return s.value == 0 && !s.zeroText.empty() ? s.zeroText : s.valueText;
    };
    EXPECT_EQ(face(range.slider), L"---") << "0 layers: every following layer";
    const struct {
        Component::EffectItemIntegerControl* row;
        Effect::EffectItemInteger* item;
        std::u16string typed;
        int32_t stored;
        const wchar_t* shown;
    } cases[] = {
        {&integer, &effect.integer, u"42", 42, L"42"},
        {&integer, &effect.integer, u"250", 100, L"100"},  // above the maximum
        {&integer, &effect.integer, u"0", 0, L"なし"},     // the item's text for 0
        {&range, &effect.range, u"3", 3, L"3"},
        {&range, &effect.range, u"0", 0, L"---"},
    };
    for (const auto& c : cases) {
        click(c.row->slider.sliderButton);
        ASSERT_TRUE(c.row->slider.sliderEdit.visible) << "a click opens the entry";
        type(c.typed);
        key(W::kVkReturn);
        EXPECT_EQ(c.item->value, c.stored) << c.item->name;
        EXPECT_EQ(face(c.row->slider), c.shown) << c.item->name;
    }
    EXPECT_TRUE(effect.events.empty()) << "integers send no item event";
    EXPECT_EQ(undoAll(), 5);
    EXPECT_EQ(effect.integer.value, 5);
    EXPECT_EQ(effect.range.value, 0);
}

TEST_F(ItemRows, StringsTakeNoLineBreaksAndEveryEditIsAStep) {
    auto object = addRowsObject(0);
    Component::EffectSetting& block = show(object);
    RowsEffect& effect = rowsOf(object);
    auto& row = rowOf<Component::EffectItemStringControl>(block, effect.string);
    click(row.entry);
    type(u"a\rb");
    EXPECT_EQ(effect.string.text, L"ab") << "the line break is dropped";
    EXPECT_TRUE(effect.events.empty()) << "a string sends no item event";
    EXPECT_EQ(undoAll(), 2);
    EXPECT_EQ(effect.string.text, L"");
}

TEST_F(ItemRows, TheUndoKeyInATextEntryStepsBackThroughItsOwnEditsOnly) {
    auto object = addRowsObject(0);
    Component::EffectSetting& block = show(object);
    RowsEffect& effect = rowsOf(object);
    System::ServiceHolder<Window::ShortcutList> keys;
    Window::ShortcutList* shortcuts = Window::ShortcutList::get();
    ASSERT_NE(shortcuts, nullptr);
    if (shortcuts->find(0x405A) == nullptr) shortcuts->add(L"元に戻す", 0x405A, [] {});
    auto& row = rowOf<Component::EffectItemTextControl>(block, effect.text);
    click(row.entry);
    type(u"abc\rd");
    EXPECT_EQ(effect.text.text, L"abc\nd") << "lines are kept";
    EXPECT_EQ(effect.events.size(), 0u) << "the item has no notify flag";
    key('Z', true);
    EXPECT_EQ(effect.text.text, L"abc\n");
    EXPECT_EQ(row.entry.text, L"abc\n");
    key('Z', true);
    EXPECT_EQ(effect.text.text, L"abc");

    // Once the newest step holds another change, the key does nothing.
    click(rowOf<Component::EffectItemCheckControl>(block, effect.check).checkBox);
    click(row.entry);
    key('Z', true);
    EXPECT_EQ(effect.text.text, L"abc");
    EXPECT_EQ(effect.check.value, 1);
}

TEST_F(ItemRows, AFileComesFromTheDialogAndACancelClearsItOnlyWhenTheItemAsks) {
    auto object = addRowsObject(0);
    Component::EffectSetting& block = show(object);
    RowsEffect& effect = rowsOf(object);
    auto& row = rowOf<Component::EffectItemFileControl>(block, effect.file);
    EXPECT_EQ(row.valueText.text, L"未選択");
    ScriptedFiles files;
    files.answers = {"/tmp/素材/picture.png"};
    click(row.nameButton);
    EXPECT_EQ(effect.file.path, L"/tmp/素材/picture.png");
    EXPECT_EQ(row.valueText.text, L"picture.png");
    click(row.nameButton);  // cancelled: kept
    EXPECT_EQ(effect.file.path, L"/tmp/素材/picture.png");
    effect.file.clearOnCancel = 1;
    effect.file.placeholder = L"なし";
    click(row.nameButton);  // cancelled: cleared
    EXPECT_EQ(effect.file.path, L"");
    EXPECT_EQ(row.valueText.text, L"なし");
    ASSERT_EQ(files.asked.size(), 3u);
    EXPECT_EQ(undoAll(), 2);
    EXPECT_EQ(effect.file.path, L"");
}

TEST_F(ItemRows, TheWheelStepsThroughAnOpenListOnly) {
    auto object = addRowsObject(0);
    Component::EffectSetting& block = show(object);
    RowsEffect& effect = rowsOf(object);
    auto& row = rowOf<Component::EffectItemSelectControl>(block, effect.select);
    EXPECT_EQ(row.valueButton.text, L"中央");
    const RouterStep over = centre(Input::Move, row.valueButton);
    driver.run({over, {Input::Wheel, over.x, over.y, -120}});
    EXPECT_EQ(effect.select.index, 5) << "a closed list leaves the wheel";
    click(row.valueButton);
    ASSERT_TRUE(Window::ListBox::listShown);
    EXPECT_EQ(Window::ListBox::listOwner, static_cast<void*>(&row));
    EXPECT_EQ(Window::ListBox::selectedIndex, 1);
    driver.run({over, {Input::Wheel, over.x, over.y, -120}});
    EXPECT_EQ(effect.select.index, 9);
    EXPECT_EQ(row.valueButton.text, L"右");
    driver.run({over, {Input::Wheel, over.x, over.y, -120}});
    EXPECT_EQ(effect.select.index, 9) << "the last line stays";
    driver.run({over, {Input::Wheel, over.x, over.y, 120}, {Input::Wheel, over.x, over.y, 120}});
    EXPECT_EQ(effect.select.index, 2);
    EXPECT_EQ(effect.events.size(), 3u) << "each choice tells the effect";
    Window::ListBox::hide();
    EXPECT_EQ(undoAll(), 3);
    EXPECT_EQ(effect.select.index, 5);
}

TEST_F(ItemRows, TypedColourCodesSetAllSelectedObjectsInOneStep) {
    auto shown = addRowsObject(0);
    auto twin = addRowsObject(1);
    Component::EffectSetting& block = show(shown);
    RowsEffect& effect = rowsOf(shown);
    auto& colour = rowOf<Component::EffectItemColorControl>(block, effect.colour);
    auto& unset = rowOf<Component::EffectItemColorControl>(block, effect.unsetColour);
    EXPECT_EQ(colour.hexInput.valueText, L"0a141e");
    EXPECT_EQ(colour.valueText.text, L"10,20,30");
    const struct {
        Component::EffectItemColorControl* row;
        Effect::EffectItemColor* item;
        std::u16string typed;
        uint8_t r, g, b, unset;
        const wchar_t* shown;
    } cases[] = {
        {&colour, &effect.colour, u"FF8000", 255, 128, 0, 0, L"255,128,0"},
        {&colour, &effect.colour, u"", 255, 128, 0, 0, L"255,128,0"},      // no empty colour here
        {&colour, &effect.colour, u"zz0000", 255, 128, 0, 0, L"255,128,0"},  // not a code
        {&unset, &effect.unsetColour, u"", 0, 0, 0, 1, L""},
        {&unset, &effect.unsetColour, u"123456", 0x12, 0x34, 0x56, 0, L"18,52,86"},
    };
    scene->selection.objects = {shown, twin};
    for (const auto& c : cases) {
        click(c.row->hexInput.face);
        ASSERT_TRUE(c.row->hexInput.editing || c.row->hexInput.edit.visible) << "a click opens the entry";
        c.row->hexInput.edit.select(0, static_cast<int32_t>(c.row->hexInput.edit.text.size()), 0);
        key(W::kVkDelete);
        type(c.typed);
        key(W::kVkReturn);
        const std::string what = std::string(c.typed.begin(), c.typed.end());
        EXPECT_EQ((std::vector<int>{c.item->red, c.item->green, c.item->blue, c.item->unset}),
                  (std::vector<int>{c.r, c.g, c.b, c.unset}))
            << what;
        EXPECT_EQ(c.row->valueText.text, c.shown) << what;
        auto* same = static_cast<Effect::EffectItemColor*>(
            rowsOf(twin).items[static_cast<size_t>(std::find(effect.items.begin(), effect.items.end(), c.item) -
                                                   effect.items.begin())]);
        EXPECT_EQ((std::vector<int>{same->red, same->green, same->blue, same->unset}),
                  (std::vector<int>{c.r, c.g, c.b, c.unset}))
            << "the other selected object: " << what;
    }
    EXPECT_EQ(colour.hexInput.valueText, L"ff8000") << "shown in lower case";
    undoAll();
    EXPECT_EQ((std::vector<int>{effect.colour.red, effect.colour.green, effect.colour.blue}),
              (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(rowsOf(twin).unsetColour.unset, 0);
    EXPECT_EQ(rowsOf(twin).unsetColour.red, 255);
}

TEST_F(ItemRows, TheSwatchOutlineContrastsWithTheColour) {
    const struct {
        uint8_t r, g, b;
        float grey;
    } cases[] = {{255, 255, 255, 0.34f}, {0, 0, 0, 0.66f}, {255, 0, 0, 0.8f}, {0, 0, 255, 0.774f}, {128, 128, 128, 0.2f}};
    for (const auto& c : cases)
        EXPECT_NEAR(Component::EffectItemColorControl::contrastGrey(c.r, c.g, c.b), c.grey, 0.002f)
            << int(c.r) << "," << int(c.g) << "," << int(c.b);
}

TEST_F(ItemRows, ASceneComesFromTheMenuOfTheOtherScenes) {
    auto object = addRowsObject(0);
    Component::EffectSetting& block = show(object);
    RowsEffect& effect = rowsOf(object);
    auto& row = rowOf<Component::EffectItemSceneControl>(block, effect.scene);
    EXPECT_EQ(row.valueText.text, L"未選択");
    Edit::Project& project = Edit::EditService::instance()->project();
    project.getOrCreateScene(1)->name = L"前景";
    project.getOrCreateScene(2)->name = L"";
    answerMenus("");
    click(row.nameButton);
    EXPECT_EQ(offered, (std::vector<std::string>{"前景", ""}));
    answerMenus("前景");
    click(row.nameButton);
    EXPECT_EQ(effect.scene.value, 1);
    EXPECT_EQ(row.valueText.text, L"前景");
    EXPECT_EQ(effect.events.size(), 1u);
    effect.scene.value = 2;
    row.updateValue();
    EXPECT_EQ(row.valueText.text, Edit::Scene::getDefaultName(2)) << "a scene without a name";
    effect.scene.value = 1;
    EXPECT_EQ(undoAll(), 1);
    EXPECT_EQ(effect.scene.value, 0);
}

TEST_F(ItemRows, AMaskIsAFigureAFileOrASceneAndItsCheckFollowsTheScene) {
    Edit::EditService::instance()->project().getOrCreateScene(1)->name = L"マスク用";
    auto object = scene->createObject(0, 0, 99);
    object->effects.push_back(std::make_shared<MaskEffect>());
    auto& effect = static_cast<MaskEffect&>(*object->effects.front());
    effect.fit.shown = 1;
    Component::EffectSetting& block = show(object);
    EXPECT_EQ(effect.fit.shown, 0) << "no scene: the check has no row";
    EXPECT_EQ(block.findItemControl(&effect.fit), nullptr);
    auto& mask = rowOf<Component::EffectItemMaskSelectControl>(block, effect.mask);
    EXPECT_EQ(mask.valueButton.text, L"円");

    answerMenus("マスク用");
    click(mask.nameButton);
    EXPECT_EQ(offered, (std::vector<std::string>{"ファイルから選択", "", "マスク用"}));
    EXPECT_EQ(effect.mask.sceneId, 1);
    EXPECT_EQ(effect.fit.shown, 1) << "a scene shows the check";
    EXPECT_EQ(mask.valueButton.text, L"マスク用");

    ScriptedFiles files;
    files.answers = {"/tmp/マスク/mask.png"};
    answerMenus("ファイルから選択");
    click(mask.nameButton);
    EXPECT_EQ(effect.mask.path, L"/tmp/マスク/mask.png");
    EXPECT_EQ(effect.mask.sceneId, -1);
    EXPECT_EQ(effect.mask.index, -1);
    EXPECT_EQ(effect.fit.shown, 0) << "a file hides it again";
    EXPECT_EQ(mask.valueButton.text, L"mask.png");

    click(mask.valueButton);
    ASSERT_TRUE(Window::ListBox::listShown);
    const RouterStep over = centre(Input::Move, mask.valueButton);
    driver.run({over, {Input::Wheel, over.x, over.y, 120}});
    EXPECT_EQ(effect.mask.index, 0) << "a figure of the list";
    EXPECT_EQ(effect.mask.path, L"");
    Window::ListBox::hide();
    EXPECT_TRUE(effect.events.empty()) << "a mask sends no item event";
    EXPECT_EQ(undoAll(), 3);
    EXPECT_EQ(effect.mask.index, 1);
    EXPECT_EQ(effect.mask.sceneId, -1);
}

TEST_F(ItemRows, AFigureFromAFileShowsItsNameAndAnEntryOfTheListDropsIt) {
    auto object = scene->createObject(0, 0, 99);
    object->effects.push_back(std::make_shared<MaskEffect>());
    auto& effect = static_cast<MaskEffect&>(*object->effects.front());
    Component::EffectSetting& block = show(object);
    auto& figure = rowOf<Component::EffectItemComboFileControl>(block, effect.figure);
    EXPECT_EQ(figure.valueButton.text, L"円");
    ScriptedFiles files;
    files.answers = {"/tmp/図形/star.svg"};
    click(figure.nameButton);
    EXPECT_EQ(effect.figure.index, -1);
    EXPECT_EQ(figure.valueButton.text, L"star.svg");
    click(figure.nameButton);  // cancelled: kept
    EXPECT_EQ(effect.figure.path, L"/tmp/図形/star.svg");
    click(figure.valueButton);
    const RouterStep over = centre(Input::Move, figure.valueButton);
    driver.run({over, {Input::Wheel, over.x, over.y, -120}});
    Window::ListBox::hide();
    EXPECT_EQ(effect.figure.path, L"") << "an entry of the list drops the file";
    EXPECT_GE(effect.figure.index, 0);
    EXPECT_EQ(effect.events.size(), 2u);
    EXPECT_EQ(undoAll(), 2);
    EXPECT_EQ(effect.figure.index, 1);
}

}  // namespace
