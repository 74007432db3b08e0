#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/File.h"
#include "core/FileName.h"
#include "core/IniFile.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effect/EffectItemText.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "support/TestModelQueries.h"
#include "support/LogCapture.h"
#include "support/TestFolders.h"

using namespace Effect;

namespace {

std::shared_ptr<EffectItemSelect::SharedList> blendModes() {
    auto list = EffectItemSelect::SharedList::create();
    list->add(0, L"通常");
    list->add(1, L"加算");
    return list;
}

class SampleEffect : public EffectBase {
public:
    EffectItemNumber x{&items, L"X", 0, -2000, 2000, 0.1};
    EffectItemNumber zoom{&items, L"拡大率", 100, 0, 5000, 0.01};
    EffectItemCheck loop{&items, L"ループ再生"};
    EffectItemText text{&items, L"テキスト"};
    EffectItemColor color{&items, L"色", 255, 255, 255, EffectItem::kColorUnset};
    EffectItemSelect blend{&items, L"合成モード", 0, blendModes()};
    EffectItemFile file{&items, L"ファイル"};

    SampleEffect() {
        name = L"サンプル";
        role = kFilter;
        media = kVideo;
        placement = kVideo;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<SampleEffect>(); }
};

// A fresh installation and data folder for each test.
class EffectSectionTest : public TestFolders {
protected:
    std::wstring path(const char* name) const { return System::utf8ToWide((root_ / name).string()); }
    void writeText(const char* name, const std::string& content) const {
        std::ofstream(root_ / name, std::ios::binary) << content;
    }
    std::string readText(const char* name) const {
        std::ifstream in(root_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Writes the effect under the section "Effect.0" and returns the body.
    std::string save(const EffectBase& effect) const {
        System::File file;
        file.open(path("saved.ini"), System::File::kWrite);
        file.write("[Effect.0]\r\n", 12);
        effect.saveIniSectionParameter(file);
        file.close();
        return readText("saved.ini").substr(12);
    }
    void load(EffectBase& effect, const char* name, const char* section = "Effect") {
        System::IniFile ini;
        ini.loadFile(path(name));
        effect.loadIniSectionParameter(ini.getSection(section, 0));
    }
    LogCapture log;
};

}  // namespace

TEST_F(EffectSectionTest, WritesTheGoldenBodyAndReadsItBack) {
    SampleEffect a;
    EXPECT_EQ(save(a),
              "effect.name=サンプル\r\n"
              "X=0.0\r\n"
              "拡大率=100.00\r\n"
              "ループ再生=0\r\n"
              "テキスト=\r\n"
              "色=ffffff\r\n"
              "合成モード=通常\r\n"
              "ファイル=\r\n");

    a.disabled = 1;
    a.locked = 1;
    a.x.fromString("0.0,10.5,-3.0,直線移動,1");
    a.zoom.fromString("0,100,ランダム移動,4|30");
    a.loop.value = 1;
    a.text.text = L"一行目\n二行目 \\ 終";
    a.color.fromString("");
    a.blend.index = 1;
    a.file.path = L"/media/動画.mp4";
    const std::string body = save(a);
    EXPECT_EQ(body,
              "effect.name=サンプル\r\n"
              "effect.disable=1\r\n"
              "display.lock=1\r\n"
              "X=0.0,10.5,-3.0,直線移動,1\r\n"
              "拡大率=0.00,100.00,ランダム移動,4|30\r\n"
              "ループ再生=1\r\n"
              "テキスト=一行目\\n二行目 \\\\ 終\r\n"
              "色=\r\n"
              "合成モード=加算\r\n"
              "ファイル=/media/動画.mp4\r\n");

    SampleEffect b;
    load(b, "saved.ini");
    EXPECT_EQ(b.disabled, 1);
    EXPECT_EQ(b.hidden, 0);
    EXPECT_EQ(b.locked, 1);
    for (size_t i = 0; i < a.items.size(); ++i) EXPECT_TRUE(b.items[i]->equals(*a.items[i])) << i;
    EXPECT_EQ(b.text.text, L"一行目\n二行目 \\ 終");  // line breaks read back as LF
    for (const auto& line : log.lines) EXPECT_EQ(line.level, "INFO") << line.scope << " " << line.message;
}

TEST_F(EffectSectionTest, BadItemsAreSkippedWithOneWarning) {
    writeText("in.ini",
              "[Effect.0]\r\neffect.name=サンプル\r\nX=1,直線移動\r\n拡大率=250\r\n未知=1\r\nループ再生=1\r\n"
              "ループ再生=0\r\n色=zz\r\n");
    SampleEffect e;
    e.x.fromString("7");
    LogCapture capture;
    load(e, "in.ini");
    EXPECT_EQ(e.x.toString(), "7.0");
    EXPECT_EQ(e.zoom.toString(), "250.00");
    EXPECT_EQ(e.loop.value, 1);  // the first of duplicate keys
    EXPECT_EQ(e.color.toString(), "ffffff");
    int warnings = 0;
    for (const auto& line : capture.lines)
        warnings += line.level == "WARN" && line.scope == "Effect::EffectBase::loadIniSectionParameter";
    EXPECT_EQ(warnings, 2);
}

TEST_F(EffectSectionTest, AMalformedFlagFailsTheSection) {
    writeText("in.ini", "[Effect.0]\r\neffect.name=サンプル\r\neffect.disable=abc\r\nX=5\r\n");
    SampleEffect e;
    try {
        load(e, "in.ini");
        FAIL();
    } catch (const std::exception& ex) {
        EXPECT_NE(std::string(ex.what()).find("ini file parameter invalid format(int)."), std::string::npos);
    }
    EXPECT_EQ(e.x.toString(), "0.0");
}

TEST_F(EffectSectionTest, ExchangeSectionsMapOldNames) {
    std::ofstream(root_ / "install" / "effect.conf", std::ios::binary)
        << "[OldScript]\nold=サンプル\n[OldScript.サンプル]\nzoom=拡大率\nblend=合成モード\ncolor=色\nno_color=色\n";
    System::ServiceHolder<Setting::SettingService> settings;
    writeText("in.kto",
              "[0]\r\n_name=old\r\n_disable=1\r\nX=12.5\r\nzoom=33\r\nblend=1\r\ncolor=102030\r\nno_color=1\r\n"
              "ignored=5\r\n");
    SampleEffect e;
    System::IniFile ini;
    ini.loadFile(path("in.kto"));
    e.loadKtoSectionParameter(ini.getSection("0"));
    EXPECT_EQ(e.disabled, 1);
    EXPECT_EQ(e.x.toString(), "12.5");
    EXPECT_EQ(e.zoom.toString(), "33.00");
    EXPECT_EQ(e.blend.index, 1);
    // "color" then "no_color": the colour is set and then unset, in file order.
    EXPECT_EQ(e.color.red, 0x10);
    EXPECT_EQ(e.color.unset, 1);
    EXPECT_EQ(e.findItemByOldName("zoom"), &e.zoom);
    EXPECT_EQ(e.findItemByOldName("ignored"), nullptr);
}

TEST_F(EffectSectionTest, ExchangeFailuresAreLoggedPerEntry) {
    writeText("in.kto", "[0]\r\n_name=サンプル\r\nX=1,2\r\nループ再生=1\r\n");
    SampleEffect e;
    System::IniFile ini;
    ini.loadFile(path("in.kto"));
    LogCapture capture;
    e.loadKtoSectionParameter(ini.getSection("0"));
    EXPECT_EQ(e.loop.value, 1);
    bool found = false;
    for (const auto& line : capture.lines)
        found |= line.level == "WARN" && line.message == "ini file effect parameter invalid. [サンプル](X)";
    EXPECT_TRUE(found);
}

TEST_F(EffectSectionTest, SetItemDataCopiesEveryItem) {
    SampleEffect a, b;
    a.zoom.fromString("0,100,直線移動,0");
    a.text.text = L"t";
    b.setItemData(a);
    for (size_t i = 0; i < a.items.size(); ++i) EXPECT_TRUE(b.items[i]->equals(*a.items[i])) << i;
    EffectItemCheck extra(&b.items, L"追加");
    try {
        b.setItemData(a);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("different number of items."), std::string::npos);
    }
}
