// The effect and movement commands on a real edit service: each one against
// the scene's state text (chains, item values, movements, flags and
// settings) with undo and redo.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "edit/ObjectEffectCommands.h"
#include "edit/support/CommandFixture.h"
#include "edit/support/ModelFixture.h"
#include "effect/EffectItemGroup.h"
#include "effect/MovementBase.h"
#include "effect/MovementLookup.h"

namespace {

using namespace EditTest;
namespace Cmd = Edit::EditCommand;
using Effect::EffectItemNumber;
using ObjectPtr = std::shared_ptr<Edit::Object>;

class EffectCommandTest : public CommandFixture {
public:
    std::string chain() {
        std::string out;
        for (const auto& e : scene().getLayer(0).objects.at(0)->effects)
            out += (out.empty() ? "" : " ") + System::wideToUtf8(e->name);
        return out;
    }
    // X, 拡大率 of the input and X of the output, linked as one set, on an
    // object with one midpoint.
    ObjectPtr linkedObject() {
        auto o = add(0, 0, 30);
        edit([&](auto&) { o->addSection(10); });
        auto& input = static_cast<TestEffect&>(*o->effects[0]);
        auto& output = static_cast<TestEffect&>(*o->effects[1]);
        links.push_back(std::make_unique<Effect::EffectItemGroup>(
            std::vector<EffectItemNumber*>{input.x.get(), input.zoom.get(), output.x.get()}));
        return o;
    }
    std::vector<EffectItemNumber*> linked(const ObjectPtr& o) {
        auto& input = static_cast<TestEffect&>(*o->effects[0]);
        auto& output = static_cast<TestEffect&>(*o->effects[1]);
        return {input.x.get(), input.zoom.get(), output.x.get()};
    }
    // Each linked item as "movement:values:flags".
    std::string items(const ObjectPtr& o) {
        std::string out;
        for (EffectItemNumber* i : linked(o))
            out += (out.empty() ? "" : " ") + System::wideToUtf8(i->movement->name) + ":" +
                   std::to_string(i->values.size()) + ":" + std::to_string(i->flags);
        return out;
    }
    std::vector<std::unique_ptr<Effect::EffectItemGroup>> links;
};

TEST_F(EffectCommandTest, ANewEffectStandsBehindTheGivenOneOrReplacesIt) {
    const auto chain3 = [](EffectCommandTest& t) {
        auto o = t.add(0, 0, 30);
        t.edit([&](auto&) { o->addEffect(kInvert); });
    };
    const auto first = [](EffectCommandTest& t) { return t.scene().getLayer(0).objects[0]; };
    runCases<EffectCommandTest>(*this,
                                {
                                    {"behind the output", chain3,
                                     [=](auto& t) { Cmd::setEffect(first(t), kBlur, first(t)->effects[1], false); },
                                     "画像ファイル 標準描画 ぼかし 反転"},
                                    {"in place of the last filter", chain3,
                                     [=](auto& t) { Cmd::setEffect(first(t), kBlur, first(t)->effects[2], true); },
                                     "画像ファイル 標準描画 ぼかし"},
                                },
                                std::function<std::string(EffectCommandTest&)>(
                                    [](EffectCommandTest& t) { return t.chain(); }));

    restart();
    chain3(*this);
    // An unknown effect, or one of media the object cannot take, throws
    // inside the scope and leaves no step.
    for (const wchar_t* name : {L"無い効果", kVolume}) {
        EXPECT_FALSE(thrownText([&] { Cmd::setEffect(first(*this), name, nullptr, false); }).empty());
        EXPECT_EQ(chain(), "画像ファイル 標準描画 反転");
        EXPECT_EQ(records(), 0u);
    }

    // A saved effect that fails halfway is reported once; the effects placed
    // before the failure are one undo step.
    const std::filesystem::path file = root_ / "half.effect";
    std::ofstream(file) << "[Effect.0]\r\neffect.name=" << System::wideToUtf8(kBlur)
                        << "\r\n[Effect.1]\r\neffect.name=x\r\n";
    expectCommand(
        "a half-read effect file",
        [&] { Cmd::loadEffect(first(*this), System::utf8ToWide(file.string()), nullptr, false); },
        "画像ファイル 標準描画 反転 ぼかし", [&] { return chain(); });
    EXPECT_EQ(posted, std::vector<std::wstring>{L"エイリアスの読み込みに失敗しました"});
}

TEST_F(EffectCommandTest, AMovementTypeChangesTheLinkedItemsTogether) {
    auto o = linkedObject();
    // X and Z move linearly already; Y, the item chosen, does not.
    expectCommand(
        "to a linear move", [&] { Cmd::setMovement(o, *linked(o)[1], L"直線移動"); },
        "直線移動:3:0 直線移動:3:0 直線移動:3:0", [&] { return items(o); });
    // The movement the item already has: the line and nothing else.
    LogCapture log;
    const size_t before = records();
    Cmd::setMovement(o, *linked(o)[0], L"直線移動");
    EXPECT_EQ(records(), before);
    EXPECT_TRUE(logged(log, "set move type [直線移動] layer=0 frame=0"));
    EXPECT_EQ(thrownText([&] { Cmd::setMovement(o, *linked(o)[0], L"無い移動"); }),
              "not found movement. @ Effect::EffectService::findMovement");
    EXPECT_EQ(records(), before);
    // A movement with its own flags brings them.
    expectCommand(
        "to an interpolation", [&] { Cmd::setMovement(o, *linked(o)[2], L"補間移動"); },
        "補間移動:3:3 補間移動:3:3 補間移動:3:3", [&] { return items(o); });
}

TEST_F(EffectCommandTest, AFlagBitEndsInTheItemsNewStateOnEveryLinkedItem) {
    constexpr uint32_t kIgnore = EffectItemNumber::kIgnoreMidpoints;
    const auto yOnly = [](EffectCommandTest& t) {
        auto o = t.linkedObject();
        t.edit([&](auto&) {
            for (EffectItemNumber* i : t.linked(o)) {
                i->movement = Effect::findMovement(L"直線移動");
                i->resizeValues(3);
            }
            t.linked(o)[1]->flags = kIgnore;
            t.linked(o)[1]->resizeValues(3);
        });
    };
    const auto toggle = [](size_t which) {
        return [=](EffectCommandTest& t) {
            auto o = t.scene().getLayer(0).objects[0];
            Cmd::toggleMovementFlag(o, *t.linked(o)[which], kIgnore);
        };
    };
    const auto check = std::function<std::string(EffectCommandTest&)>(
        [](EffectCommandTest& t) { return t.items(t.scene().getLayer(0).objects[0]); });
    runCases<EffectCommandTest>(*this,
                                {
                                    {"from X: X and Z on, Y stays", yOnly, toggle(0),
                                     "直線移動:2:4 直線移動:2:4 直線移動:2:4"},
                                    {"from Y: Y off only", yOnly, toggle(1), "直線移動:3:0 直線移動:3:0 直線移動:3:0"},
                                },
                                check);
    // Twice from X: all on, then all off again with a key per boundary.
    restart();
    yOnly(*this);
    toggle(0)(*this);
    expectCommand(
        "again from Z", [&] { toggle(2)(*this); }, "直線移動:3:0 直線移動:3:0 直線移動:3:0",
        [&] { return check(*this); });
}

TEST_F(EffectCommandTest, MovementSettingsGoToTheLinkedItemsAndCanBeAskedFor) {
    auto o = linkedObject();
    Cmd::setMovement(o, *linked(o)[0], L"ランダム移動");
    const auto settings = [&] {
        std::string out;
        for (EffectItemNumber* i : linked(o)) {
            out += out.empty() ? "" : " ";
            for (double v : i->settings) out += std::to_string(static_cast<int>(v));
        }
        return out;
    };
    EXPECT_EQ(settings(), "15 15 15");
    expectCommand(
        "set", [&] { Cmd::setMovementSettings(o, *linked(o)[1], {20}); }, "20 20 20", settings);

    std::vector<std::wstring> asked;
    std::vector<double> answers{42, -1};
    auto previous = Cmd::setNumberInput(
        [&](const std::wstring& title, const std::wstring& label, double& value, double minimum, double maximum) {
            asked.push_back(title + L"|" + label + L"|" + std::to_wstring(static_cast<int>(value)));
            EXPECT_EQ(minimum, -2147483648.0);
            EXPECT_EQ(maximum, 2147483647.0);
            if (answers.empty() || answers.front() < 0) return false;
            value = answers.front();
            answers.erase(answers.begin());
            return true;
        });
    expectCommand(
        "asked", [&] { Cmd::inputMovementSettings(o, *linked(o)[2]); }, "42 42 42", settings);
    answers = {-1};
    const size_t before = records();
    Cmd::inputMovementSettings(o, *linked(o)[0]);
    EXPECT_EQ(records(), before) << "a cancelled question changes nothing";
    Cmd::setNumberInput(std::move(previous));
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"ランダム移動|設定値|20", L"ランダム移動|設定値|42"}));
}

}  // namespace
