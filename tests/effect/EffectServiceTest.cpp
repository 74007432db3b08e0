#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/ErrorPresenter.h"
#include "core/File.h"
#include "core/IniFile.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "effect/AliasDefine.h"
#include "effect/EffectBase.h"
#include "effect/EffectDefine.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectService.h"
#include "effect/MovementBase.h"
#include "effect/MovementDefine.h"
#include "effect/MovementLookup.h"
#include "effect/ObjectCommands.h"
#include "support/LogCapture.h"
#include "support/ShownErrors.h"
#include "support/TestFolders.h"

using namespace Effect;

namespace EffectServiceCases {

struct Codes {
    const wchar_t* name;
    uint8_t role, media, placement;
    const wchar_t* group;
};

// Counts the class-wide resources it makes; the paired output names "入力".
class Probe : public EffectBase {
public:
    static inline int resourcesMade = 0;
    static constexpr const wchar_t* kName = L"入力";

    EffectItemNumber x{&items, L"X", 0, -1000, 1000, 0.1};
    EffectItemCheck flag{&items, L"反転"};
    std::shared_ptr<int> resource;
    Codes codes;

    explicit Probe(const Codes& c) : codes(c) {
        name = c.name;
        role = c.role;
        media = c.media;
        placement = c.placement;
        menuGroup = c.group;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<Probe>(codes); }
    void createCommonResource() override {
        ++resourcesMade;
        resource = std::make_shared<int>(resourcesMade);
    }
    void shareResource(const EffectBase& prototype) override {
        resource = dynamic_cast<const Probe&>(prototype).resource;
    }
    const EffectDefine* getPairedInputEffect() const override {
        if (std::wstring_view(name) != L"パーティクル") return nullptr;
        return &EffectService::get()->findEffect(L"入力");
    }
};

// Another class under a name a probe takes.
class Other : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"入力";
    Other() {
        name = kName;
        role = kInput;
        media = kVideo;
        placement = kVideo;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<Other>(); }
};

class Failing : public EffectBase {
public:
    Failing() { name = L"故障"; }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<Failing>(); }
    void createCommonResource() override { throw std::runtime_error("no device"); }
};

class FailingMovement : public MovementBase {
public:
    FailingMovement() { throw std::runtime_error("bad movement"); }
};

class DuplicateMovement : public MovementBase {
public:
    DuplicateMovement() { name = L"直線移動"; }
};

// Roles, media and placements of every kind, in registration order.
}  // namespace EffectServiceCases

namespace {

using namespace EffectServiceCases;

const Codes kTable[] = {
    {L"入力", 1, 1, 1, L""},           {L"音声入力", 1, 2, 2, L""},   {L"動画入力", 1, 3, 3, L""},
    {L"フレーム", 1, 1, 1, L""},       {L"描画", 2, 1, 1, L""},       {L"基本", 2, 1, 1, L""},
    {L"音声", 2, 2, 2, L""},           {L"映像", 2, 3, 3, L""},       {L"パーティクル", 2, 1, 1, L""},
    {L"グループ", 4, 1, 1, L"制御"},   {L"カメラ", 4, 1, 4, L"制御"}, {L"切替", 4, 1, 5, L"切替"},
    {L"ぼかし", 3, 1, 1, L"加工"},     {L"光", 3, 1, 1, L"加工"},     {L"音量", 3, 2, 2, L"音"},
    {L"カメラ光", 3, 4, 4, L"カメラ"}, {L"共通", 3, 3, 3, L"加工"},
};

// Registers the table in two runs; the trailing run repeats a name and
// brings a failing class.
class TestCatalog : public EffectService::Catalog {
public:
    void registerLeading(EffectService& service) override {
        for (size_t i = 0; i < 12; ++i) service.registerEffect<Probe>(kTable[i]);
    }
    void registerTrailing(EffectService& service) override {
        service.registerEffect<Other>();
        service.registerEffect<Failing>();
        for (size_t i = 12; i < std::size(kTable); ++i) service.registerEffect<Probe>(kTable[i]);
    }
};

const char* const kMovementNames[] = {"移動無し", "再生範囲",           "直線移動",     "直線移動(時間制御)",
                                      "補間移動", "補間移動(時間制御)", "ランダム移動", "瞬間移動"};

std::string names(const std::vector<Menu::MenuDefineBase*>& list) {
    std::string out;
    for (const Menu::MenuDefineBase* entry : list) out += System::wideToUtf8(entry->getName()) + " ";
    return out;
}

// The "message @ scope" of what f throws.
template <class F>
std::string thrown(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        const std::string text = e.what();
        const size_t place = text.find("\n\n[Place]\n");
        return place == std::string::npos ? text : text.substr(0, place) + " @ " + text.substr(place + 10);
    }
    return "";
}

// Keeps the texts of the error dialog for the life of the object.
class EffectServiceTest : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        Probe::resourcesMade = 0;
        EffectService::setCatalog(&catalog);
    }
    void TearDown() override {
        service.reset();
        settings.reset();
        EffectService::setCatalog(nullptr);
        TestFolders::TearDown();
    }
    void start() { service = std::make_unique<EffectService>(); }
    void startSettings() { settings = std::make_unique<System::ServiceHolder<Setting::SettingService>>(); }

    TestCatalog catalog;
    LogCapture log;
    ShownErrors errors;
    std::unique_ptr<System::ServiceHolder<Setting::SettingService>> settings;
    std::unique_ptr<EffectService> service;
};

TEST_F(EffectServiceTest, RegistrationLogsInTableOrderAndEveryAttemptTakesAnOrder) {
    start();
    std::vector<std::string> expected;
    for (const char* m : kMovementNames) expected.push_back(std::string("register movement [") + m + "]");
    for (size_t i = 0; i < std::size(kTable); ++i)
        expected.push_back("register effect [" + System::wideToUtf8(kTable[i].name) + "]");
    // With no palette file the built-in palette's colours come last.
    for (const char* c : {"white", "red", "yellow", "green", "aqua", "blue", "magenta", "black"})
        expected.push_back(std::string("register preset color [") + c + "]");
    std::vector<std::string> registered;
    for (const auto& line : log.lines)
        if (line.level == "INFO" && line.message.rfind("register ", 0) == 0) registered.push_back(line.message);
    EXPECT_EQ(registered, expected);

    // Movements take 0 to 7; the leading run 8 to 19; the duplicate 20 and the
    // failure 21 are consumed; the trailing run goes on at 22.
    for (size_t i = 0; i < std::size(kMovementNames); ++i)
        EXPECT_EQ(service->findMovement(System::utf8ToWide(kMovementNames[i])).order, static_cast<int32_t>(i));
    EXPECT_EQ(service->findEffect(L"入力").order, 8);
    EXPECT_EQ(service->findEffect(L"切替").order, 19);
    EXPECT_EQ(service->findEffect(L"ぼかし").order, 22);
    EXPECT_EQ(service->counter(), 8 + static_cast<int32_t>(std::size(kTable)) + 2);
    EXPECT_TRUE(service->ready());

    // The first registration of a name wins.
    EXPECT_NE(dynamic_cast<Probe*>(service->findEffect(L"入力").prototype().get()), nullptr);
    EXPECT_EQ(errors.texts, (std::vector<std::string>{
                                "Failed to register effect. [入力]\n\nDuplicate effects with the same key exist.",
                                "Failed to register effect. [class EffectServiceCases::Failing]\n\nno device"}));
    EXPECT_THROW(service->findEffect(L"故障"), std::runtime_error);
}

TEST_F(EffectServiceTest, FailedAndDuplicateMovementsAreReportedAndSkipped) {
    start();
    const int32_t before = service->counter();
    EXPECT_EQ(service->registerMovement<FailingMovement>(), nullptr);
    EXPECT_EQ(service->counter(), before);  // it failed before it could take a number
    EXPECT_EQ(service->registerMovement<DuplicateMovement>(), nullptr);
    EXPECT_EQ(service->counter(), before + 1);
    ASSERT_EQ(errors.texts.size(), 4u);
    EXPECT_EQ(errors.texts[2],
              "Failed to register movement. [class EffectServiceCases::FailingMovement]\n\nbad movement");
    EXPECT_EQ(errors.texts[3],
              "Failed to register movement. [直線移動]\n\nDuplicate movements with the same key exist.");
    EXPECT_EQ(dynamic_cast<const DuplicateMovement*>(service->findMovement(L"直線移動").movement().get()), nullptr)
        << "the first registration must stay";

    // Without a dialog installed the failure is logged.
    System::setErrorPresenter(nullptr);
    EXPECT_EQ(service->registerMovement<DuplicateMovement>(), nullptr);
    EXPECT_EQ(errors.texts.size(), 4u);
    EXPECT_EQ(log.lines.back().level, "ERROR");
    EXPECT_EQ(log.lines.back().scope, "Effect::EffectService");
    EXPECT_EQ(log.lines.back().message,
              "Failed to register movement. [直線移動]\n\nDuplicate movements with the same key exist.");
}

TEST_F(EffectServiceTest, LookupsReportTheirErrors) {
    start();
    const struct {
        const char* what;
        std::function<void()> call;
        std::string expected;
    } cases[] = {
        {"empty effect name", [&] { service->findEffect(L""); },
         "not found effect.\n\n[Note]\n @ Effect::EffectService::findEffect()"},
        {"unknown effect", [&] { service->findEffect(L"なし"); },
         "not found effect.\n\n[Note]\nなし @ Effect::EffectService::findEffect()"},
        {"unknown movement", [&] { service->findMovement(L"なし"); },
         "not found movement. @ Effect::EffectService::findMovement()"},
        {"unknown old name", [&] { service->findEffectWithOldName(L"旧"); },
         "not found effect.\n\n[Note]\n旧 @ Effect::EffectService::findEffect()"},
        {"default effect of another class", [&] { service->getDefaultEffect<Other>(); },
         "default effect not found\n\n[Note]\nclass EffectServiceCases::Other @ "
         "Effect::EffectService::getDefaultEffect()"},
        {"camera input has no output", [&] { service->getOutputEffect(service->findEffect(L"カメラ光")); },
         "invalid input effect type. @ Effect::EffectService::getOutputEffect()"},
    };
    for (const auto& c : cases) EXPECT_EQ(thrown(c.call), c.expected) << c.what;
    EXPECT_EQ(&service->getDefaultEffect<Probe>(), service->findEffect(L"入力").prototype().get());
    EXPECT_EQ(service->getEffect(L""), nullptr);
    EXPECT_EQ(service->getEffect(L"なし"), nullptr);
}

TEST_F(EffectServiceTest, NewEffectsShareTheClassResourceMadeOnce) {
    start();
    EXPECT_EQ(Probe::resourcesMade, static_cast<int>(std::size(kTable)));  // one per registered class
    const auto a = service->getEffect(L"ぼかし");
    const auto b = service->getEffect(L"ぼかし");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    const auto& prototype = static_cast<const Probe&>(*service->findEffect(L"ぼかし").prototype());
    EXPECT_EQ(static_cast<Probe&>(*a).resource, prototype.resource);
    EXPECT_EQ(static_cast<Probe&>(*b).resource, prototype.resource);
    EXPECT_EQ(Probe::resourcesMade, static_cast<int>(std::size(kTable)));
    // A created instance that is not shared yet holds none.
    EXPECT_EQ(static_cast<Probe&>(*prototype.createInstance()).resource, nullptr);
}

TEST_F(EffectServiceTest, OutputsPairWithInputsByMedia) {
    start();
    // The fixed output names are looked up: the table registers none of them,
    // so each pairing reports the name it wanted.
    const struct {
        const wchar_t* input;
        const char* output;
    } cases[] = {{L"入力", "標準描画"}, {L"音声入力", "音声再生"}, {L"動画入力", "映像再生"}};
    for (const auto& c : cases)
        EXPECT_EQ(thrown([&] { service->getOutputEffect(service->findEffect(c.input)); }),
                  std::string("not found effect.\n\n[Note]\n") + c.output + " @ Effect::EffectService::findEffect()")
            << System::wideToUtf8(c.input);
}

TEST_F(EffectServiceTest, MenuListsFilterAndSortByOrder) {
    start();
    const struct {
        uint8_t role, media, placement;
        const char* expected;
    } cases[] = {
        // The object menu: sources, controls and the output that brings its own source.
        {200, 0, 0, "入力 音声入力 動画入力 フレーム パーティクル グループ カメラ 切替 "},
        {201, 0, 0, "ぼかし 光 音量 カメラ光 共通 "},
        {2, 0, 0, "描画 基本 音声 映像 パーティクル "},
        // Media 3 admits one-medium and two-media entries, not the camera ones.
        {201, 3, 0, "ぼかし 光 音量 共通 "},
        // Media 4 admits the camera entries only: nothing with code 3.
        {201, 4, 0, "カメラ光 "},
        {200, 1, 0, "入力 動画入力 フレーム パーティクル グループ カメラ 切替 "},
        // The placement filter uses the placement code.
        {200, 0, 4, "カメラ "},
        {200, 0, 5, "動画入力 切替 "},
        {0, 2, 0, "音声入力 動画入力 音声 映像 音量 共通 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(names(service->getEffectMenuList(c.role, c.media, c.placement)), c.expected)
            << int(c.role) << "," << int(c.media) << "," << int(c.placement);

    // A changed order moves the entry.
    service->findEffect(L"共通").order = 1;
    EXPECT_EQ(names(service->getEffectMenuList(201, 0, 0)), "共通 ぼかし 光 音量 カメラ光 ");

    // Labels by their first entry in menu order ("共通" now leads with "加工").
    std::vector<std::string> labels;
    for (const std::wstring* label : service->getEffectLabelList()) labels.push_back(System::wideToUtf8(*label));
    EXPECT_EQ(labels, (std::vector<std::string>{"加工", "制御", "切替", "音", "カメラ"}));
}

TEST_F(EffectServiceTest, MovementMenuLeavesOutThePlayRangeUnlessAdjusted) {
    start();
    const auto text = [](const std::vector<const MovementDefine*>& list) {
        std::string out;
        for (const MovementDefine* m : list) out += System::wideToUtf8(m->getName()) + " ";
        return out;
    };
    EXPECT_EQ(text(service->getMovementMenuList()),
              "移動無し 直線移動 直線移動(時間制御) 補間移動 補間移動(時間制御) ランダム移動 瞬間移動 ");
    const auto adjusted = service->getMovementMenuList(
        [&](std::vector<const MovementDefine*>& list) { list.push_back(&service->findMovement(L"再生範囲")); });
    EXPECT_EQ(text(adjusted),
              "移動無し 再生範囲 直線移動 直線移動(時間制御) 補間移動 補間移動(時間制御) ランダム移動 瞬間移動 ");
}

TEST_F(EffectServiceTest, NumberItemsFindMovementsThroughTheRegistry) {
    start();
    ItemList list;
    EffectItemNumber item(&list, L"X", 0, -100, 100, 0.1);
    item.fromString("1.0,2.0,直線移動,0");
    EXPECT_EQ(item.movement, service->findMovement(L"直線移動").movement().get());
    EXPECT_EQ(EffectService::noMove(), service->findMovement(L"移動無し").movement().get());
    // A fresh item and one read with the movement named hold the same movement.
    EffectItemNumber fresh(&list, L"Y", 1, -100, 100, 0.1);
    EXPECT_EQ(fresh.movement, EffectService::noMove());
    EffectItemNumber named(&list, L"Y", 1, -100, 100, 0.1);
    named.fromString("1.0,移動無し,0");
    EXPECT_TRUE(fresh.equals(named));
    EXPECT_EQ(EffectService::movieRange(), service->findMovement(L"再生範囲").movement().get());

    // An unknown name in a project section names the registry in the warning.
    writeFile(root_ / "p.ini", "[Effect.0]\r\neffect.name=入力\r\nX=1.0,2.0,未知,0\r\n反転=1\r\n");
    System::IniFile ini;
    ini.loadFile(wide(root_ / "p.ini"));
    const auto effect = service->getEffect(L"入力");
    effect->loadIniSectionParameter(ini.getSection("Effect", 0));
    auto& probe = static_cast<Probe&>(*effect);
    EXPECT_EQ(probe.x.toString(), "0.0");
    EXPECT_EQ(probe.flag.value, 1);
    const auto warning = std::find_if(log.lines.begin(), log.lines.end(), [](const auto& l) {
        return l.level == "WARN" && l.scope == "Effect::EffectBase::loadIniSectionParameter";
    });
    ASSERT_NE(warning, log.lines.end());
    EXPECT_NE(warning->message.find("not found movement."), std::string::npos);
    EXPECT_NE(warning->message.find("Effect::EffectService::findMovement"), std::string::npos) << warning->message;

    // Without the service the built-ins are found again.
    service.reset();
    EXPECT_EQ(findMovement(L"未知"), nullptr);
    EXPECT_NE(findMovement(L"直線移動"), nullptr);
    EXPECT_EQ(EffectService::get(), nullptr);
}

TEST_F(EffectServiceTest, OldNamesMapThroughTheEffectConf) {
    writeFile(install() / "effect.conf", "[OldScript]\nぼかし旧=ぼかし\n消えた=なし\n");
    startSettings();
    start();
    EXPECT_EQ(&service->findEffectWithOldName(L"光"), &service->findEffect(L"光"));
    EXPECT_EQ(&service->findEffectWithOldName(L"ぼかし旧"), &service->findEffect(L"ぼかし"));
    EXPECT_EQ(thrown([&] { service->findEffectWithOldName(L"消えた"); }),
              "not found effect.\n\n[Note]\nなし @ Effect::EffectService::findEffect()");
}

TEST_F(EffectServiceTest, DefaultParametersSaveLoadAndReset) {
    start();
    EffectDefine& define = service->findEffect(L"光");
    const std::wstring path = define.getDefaultParamPath();
    EXPECT_EQ(path, wide(appData() / "Default" / "光.effect"));
    std::filesystem::create_directories(appData() / "Default");

    // No file: the constructor defaults, and the file is not looked for again.
    EXPECT_EQ(static_cast<Probe&>(define.loadDefaultParam()).x.toString(), "0.0");
    EXPECT_TRUE(define.defaultsLoaded());

    auto edited = service->getEffect(L"光");
    auto& probe = static_cast<Probe&>(*edited);
    probe.x.fromString("12.5");
    probe.flag.value = 1;
    probe.disabled = 1;
    // An effect of another class is not saved.
    define.saveDefaultParam(*service->getEffect(L"ぼかし"));
    EXPECT_FALSE(System::File::exists(path));

    define.saveDefaultParam(*edited);
    EXPECT_FALSE(define.defaultsLoaded());
    EXPECT_EQ(readFile(appData() / "Default" / "光.effect"),
              "[Effect.0]\r\neffect.name=光\r\neffect.disable=1\r\nX=12.5\r\n反転=1\r\n");
    EXPECT_TRUE(std::any_of(log.lines.begin(), log.lines.end(), [&](const auto& l) {
        return l.level == "VERBOSE" && l.scope == "System::IniFile::Save::Save" &&
               l.message == "saveFile : " + System::wideToUtf8(path);
    }));
    const auto& prototype = static_cast<Probe&>(define.loadDefaultParam());
    EXPECT_EQ(prototype.x.toString(), "12.5");
    EXPECT_EQ(prototype.flag.value, 1);
    EXPECT_EQ(prototype.disabled, 1);

    // A new effect starts from the prototype's values (the edit side copies them).
    auto next = service->getEffect(L"光");
    next->setItemData(prototype);
    EXPECT_EQ(static_cast<Probe&>(*next).x.toString(), "12.5");

    define.resetDefaultParam(*service->getEffect(L"ぼかし"));  // another class: nothing happens
    EXPECT_TRUE(System::File::exists(path));
    define.resetDefaultParam(*edited);
    EXPECT_FALSE(System::File::exists(path));
    EXPECT_EQ(prototype.x.toString(), "0.0");
    EXPECT_EQ(prototype.flag.value, 0);
    EXPECT_EQ(prototype.disabled, 1) << "the prototype's flags stay";
    // Resetting again with the file gone is no error.
    define.resetDefaultParam(*edited);
}

TEST_F(EffectServiceTest, MenuEntriesKeepTheirSettings) {
    writeFile(appData() / "velmo2.ini", "[Effect.光]\nlabel=お気に入り\norder=-5\nhide=1\n");
    startSettings();
    start();
    EffectDefine& light = service->findEffect(L"光");
    EXPECT_EQ(light.label, L"お気に入り");
    EXPECT_EQ(light.order, -5);
    EXPECT_EQ(light.hide, 1);
    EXPECT_EQ(light.settingsKey(), "Effect.光");
    EffectDefine& blur = service->findEffect(L"ぼかし");
    EXPECT_EQ(blur.label, L"加工");  // the menu group
    EXPECT_EQ(blur.hide, 0);
    EXPECT_EQ(names(service->getEffectMenuList(201, 0, 0)), "光 ぼかし 音量 カメラ光 共通 ");
    blur.label = L"別";
    service.reset();  // the entries write themselves back
    System::IniFile& ini = *Setting::SettingService::mainSettings();
    EXPECT_EQ(ini.getValue("Effect.ぼかし", "label").text, "別");
    EXPECT_EQ(ini.getValue("Effect.ぼかし", "order").text, "22");
    EXPECT_EQ(ini.getValue("Effect.光", "order").text, "-5");
    EXPECT_EQ(ini.getValue("Movement.瞬間移動", "order").text, "7");
}

TEST_F(EffectServiceTest, AliasInformationComesFromItsFirstEffect) {
    start();
    std::filesystem::create_directories(appData() / "Alias");
    writeFile(appData() / "Alias" / "a.object", "[Effect.0]\r\neffect.name=音声入力\r\n");
    writeFile(appData() / "Alias" / "b.effect", "[Effect.0]\r\nX=1\r\n");
    AliasDefine object(L"a", L"object", 40);
    AliasDefine effect(L"b", L"effect", 41);
    EXPECT_EQ(object.getKind(), 100);
    EXPECT_EQ(effect.getKind(), 101);
    EXPECT_EQ(object.settingsKey(), "Effect.object.a");
    EXPECT_EQ(object.getMedia(), 2);
    EXPECT_EQ(object.getPlacement(), 2);
    // No "effect.name": 0, asked again once the file names an effect.
    EXPECT_EQ(effect.getMedia(), 0);
    writeFile(appData() / "Alias" / "b.effect", "[Effect.0]\r\neffect.name=カメラ光\r\n");
    EXPECT_EQ(effect.getPlacement(), 4);
    EXPECT_FALSE(effect.isDefineOf(*service->getEffect(L"入力")));
}

// The alias folder scanned again: object aliases join the object menu and
// effect aliases the filter menu, after every effect, and a label set after
// a save lists the alias under it.
TEST_F(EffectServiceTest, AliasesRegisteredFromTheFolderJoinTheMenus) {
    start();
    std::filesystem::create_directories(appData() / "Alias");
    writeFile(appData() / "Alias" / "a.b.object", "[Object]\r\n[Object.0]\r\neffect.name=音声入力\r\n");
    writeFile(appData() / "Alias" / "c.effect", "[Effect.0]\r\neffect.name=カメラ光\r\n");
    writeFile(appData() / "Alias" / "d.txt", "");
    service->reloadAliases();
    ASSERT_EQ(service->aliases().size(), 2u);
    EXPECT_EQ(service->aliases()[0]->getName(), L"a.b");
    EXPECT_EQ(service->aliases()[0]->getKind(), 100);
    EXPECT_EQ(service->aliases()[1]->getName(), L"c");
    EXPECT_EQ(service->aliases()[1]->getKind(), 101);
    const auto objects = service->getEffectMenuList(200, 0, 0);
    ASSERT_FALSE(objects.empty());
    EXPECT_EQ(objects.back(), service->aliases()[0].get());
    const auto filters = service->getEffectMenuList(201, 0, 0);
    ASSERT_FALSE(filters.empty());
    EXPECT_EQ(filters.back(), service->aliases()[1].get());
    service->updateAlias(L"a.b", L"保存");
    EXPECT_EQ(service->aliases()[0]->label, L"保存");
    service->updateAlias(L"none", L"x");  // no such alias: nothing changes
    service->reloadAliases();
    EXPECT_EQ(service->aliases().size(), 2u) << "a rescan replaces the list";
}

// Records the commands the menu entries run.
class RecordedCommands : public ObjectCommands {
public:
    std::vector<std::string> calls;
    void createObject(const std::wstring& name, int32_t layer, int32_t frame) override {
        calls.push_back("create " + System::wideToUtf8(name) + " " + std::to_string(layer) + " " +
                        std::to_string(frame));
    }
    void loadObject(const std::wstring& path, int32_t layer, int32_t frame) override {
        calls.push_back("load " + System::wideToUtf8(path) + " " + std::to_string(layer) + " " + std::to_string(frame));
    }
    void setEffect(const std::shared_ptr<Edit::Object>&, const std::wstring& name, int32_t position,
                   bool replace) override {
        calls.push_back("set " + System::wideToUtf8(name) + " " + std::to_string(position) +
                        (replace ? " replace" : ""));
    }
    void loadEffect(const std::shared_ptr<Edit::Object>&, const std::wstring& path, int32_t position,
                    bool replace) override {
        calls.push_back("add " + System::wideToUtf8(path) + " " + std::to_string(position) +
                        (replace ? " replace" : ""));
    }
};

TEST_F(EffectServiceTest, MenuEntriesRunTheInstalledCommands) {
    start();
    EffectDefine& blur = service->findEffect(L"ぼかし");
    AliasDefine alias(L"影", L"effect", 50);
    // Nothing installed yet: the entries cannot act.
    EXPECT_EQ(thrown([&] { blur.createObject(1, 2); }), "not implement. @ Effect::EffectDefine::createObject()");
    EXPECT_EQ(thrown([&] { alias.addToObject(nullptr, 0, false); }),
              "not implement. @ Effect::AliasDefine::addToObject()");

    RecordedCommands commands;
    ObjectCommands::setCurrent(&commands);
    blur.createObject(1, 2);
    blur.addToObject(nullptr, 3, true);
    alias.createObject(4, 5);
    alias.addToObject(nullptr, 6, false);
    ObjectCommands::setCurrent(nullptr);
    const std::string aliasPath = (appData() / "Alias" / "影.effect").string();
    EXPECT_EQ(commands.calls, (std::vector<std::string>{"create ぼかし 1 2", "set ぼかし 3 replace",
                                                        "load " + aliasPath + " 4 5", "add " + aliasPath + " 6"}));
}

}  // namespace
