// The writers' settings and the export's save dialog, answered through the
// scripted-answer hooks of dialogs, menus and file dialogs: each shows the
// stored setting, and what is chosen reaches the writer and the settings file.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/HookScope.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "platform/window/FileDialog.h"
#include "platform/window/Menu.h"
#include "plugin/OutputService.h"
#include "plugin/avi/AviFileSave.h"
#include "plugin/image/JpgFileSave.h"
#include "plugin/image/PngFileSave.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedFiles.h"
#include "support/TestFolders.h"
#include "ui/dialogs/DialogTemplate.h"
#include "ui/dialogs/OutputSettingDialogs.h"
#include "ui/dialogs/OutputSettingStrip.h"

namespace {

namespace W = Platform::window;
constexpr int32_t kOk = Dialog::DialogTemplate::kOkButtonId;

Plugin::OutputService::Presenter settingDialogs() {
    Plugin::OutputService::Presenter presenter;
    Dialog::addOutputSettingDialogs(presenter);
    return presenter;
}

class ExportDialogs : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        settings.emplace();
    }
    void TearDown() override {
        settings.reset();
        TestFolders::TearDown();
    }
    // The lines of the plug-in's section in the settings file written when
    // the settings service ends.
    std::vector<std::string> storedSection(const std::string& section) {
        settings.reset();
        std::ifstream in(appData() / "velmo2.ini", std::ios::binary);
        std::vector<std::string> lines;
        bool inside = false;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty() && line.front() == '[') {
                inside = line == "[" + section + "]";
                continue;
            }
            if (inside && !line.empty()) lines.push_back(line);
        }
        std::sort(lines.begin(), lines.end());
        settings.emplace();
        return lines;
    }
    template <class T>
    std::unique_ptr<T> plugin() {
        auto made = std::make_unique<T>();
        made->initSetting(0);
        return made;
    }

    std::optional<System::ServiceHolder<Setting::SettingService>> settings;
    ScriptedDialogs dialogs;
    System::HookScope<Plugin::OutputService::Presenter> presenter{Plugin::OutputService::setPresenter,
                                                                 settingDialogs()};
};

TEST_F(ExportDialogs, AviFormatsArePreselectedAndStoredOnOk) {
    struct Case {
        const char* name;
        const wchar_t* video;
        const wchar_t* audio;
        int32_t chooseVideo, chooseAudio;  // -1: left as shown
        bool ok;
        const char* shownVideo;
        const char* shownAudio;
        const wchar_t* storedVideo;
        const wchar_t* storedAudio;
    } cases[] = {
        {"the defaults as they stand", L"RGB24bit", L"PCM16bit", -1, -1, true, "RGB24bit", "PCM16bit", L"RGB24bit",
         L"PCM16bit"},
        {"YUY2 is preselected", L"YUY2", L"PCM(float)32bit", -1, -1, true, "YUY2", "PCM(float)32bit", L"YUY2",
         L"PCM(float)32bit"},
        {"names the lists lack preselect the first", L"RGBA64bit(PA64)", L"pcm16bit", -1, -1, true, "RGB24bit",
         "PCM16bit", L"RGB24bit", L"PCM16bit"},
        {"chosen formats", L"RGB24bit", L"PCM16bit", 1, 1, true, "RGB24bit", "PCM16bit", L"RGBA32bit",
         L"PCM(float)32bit"},
        {"Cancel keeps a hand-written type", L"RGBA64bit(HF64)", L"PCM16bit", 2, 1, false, "RGB24bit", "PCM16bit",
         L"RGBA64bit(HF64)", L"PCM16bit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto avi = plugin<Plugin::AviFileSave>();
        avi->videoType = c.video;
        avi->audioType = c.audio;
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            if (c.chooseVideo >= 0) d.choose(ScriptedDialogs::field(d, "Video"), c.chooseVideo);
            if (c.chooseAudio >= 0) d.choose(ScriptedDialogs::field(d, "Audio"), c.chooseAudio);
            d.press(c.ok ? kOk : W::kDialogIdCancel);
        });
        avi->showSetting(nullptr);
        const auto& shown = dialogs.shown.back();
        EXPECT_EQ(shown.caption, "AVIファイル出力");
        EXPECT_EQ(shown.fields,
                  (std::vector<std::pair<std::string, std::string>>{{"Video", c.shownVideo}, {"Audio", c.shownAudio}}));
        EXPECT_TRUE(shown.okButton);
        EXPECT_EQ(avi->videoType, c.storedVideo);
        EXPECT_EQ(avi->audioType, c.storedAudio);
        EXPECT_EQ(avi->getSettingText(), std::wstring(L"Video: ") + c.storedVideo + L" / Audio: " + c.storedAudio);
        avi.reset();
        EXPECT_EQ(storedSection("Output.AVIファイル出力"),
                  (std::vector<std::string>{"AudioType=" + System::wideToUtf8(c.storedAudio),
                                            "VideoType=" + System::wideToUtf8(c.storedVideo), "order=0"}));
    }
}

TEST_F(ExportDialogs, JpegQualityIsRefusedOutsideOneToAHundred) {
    struct Case {
        const char* typed;
        std::optional<int32_t> stored;  // nullopt: refused, the dialog stays and is cancelled
    } cases[] = {
        {"40", 40}, {"1", 1}, {"100", 100}, {"0", std::nullopt}, {"101", std::nullopt}, {"-5", std::nullopt},
        {"abc", std::nullopt}, {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        auto jpeg = plugin<Plugin::JpgFileSave>();
        jpeg->quality = 90;  // the case before stored its own
        bool stayed = false;
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            d.setText(ScriptedDialogs::field(d, "JPEG品質"), c.typed);
            d.press(W::kDialogIdOk);
            stayed = !d.ended();
            if (stayed) d.press(W::kDialogIdCancel);
        });
        jpeg->showSetting(nullptr);
        const auto& shown = dialogs.shown.back();
        EXPECT_EQ(shown.caption, "JPEGファイル出力");
        EXPECT_EQ(shown.fields, (std::vector<std::pair<std::string, std::string>>{{"JPEG品質", "90"}}));
        EXPECT_EQ(stayed, !c.stored.has_value());
        const int32_t expected = c.stored.value_or(90);
        EXPECT_EQ(jpeg->quality, expected);
        EXPECT_EQ(jpeg->getSettingText(), L"JPEG品質:" + std::to_wstring(expected));
        jpeg.reset();
        EXPECT_EQ(storedSection("Output.JPEGファイル出力"),
                  (std::vector<std::string>{"order=0", "quality=" + std::to_string(expected)}));
    }
}

TEST_F(ExportDialogs, PngTransparencyIsChosenFromACheckedMenu) {
    struct Case {
        const char* name;
        int32_t transparent;
        int32_t choose;  // position in the menu, -1: closed without a choice
        int32_t stored;
    } cases[] = {
        {"opaque chosen", 1, 1, 0},
        {"transparent chosen", 0, 0, 1},
        {"the checked one again", 1, 0, 1},
        {"closed without a choice", 0, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto png = plugin<Plugin::PngFileSave>();
        png->transparent = c.transparent;
        std::vector<std::string> labels;
        std::vector<bool> checked;
        W::setMenuAnswerHook([&](W::MenuHandle menu, const W::Point&) -> uint32_t {
            for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
                std::string label;
                (void)W::getMenuStringAt(menu, i, label);
                labels.push_back(label);
                checked.push_back(W::isMenuItemChecked(menu, static_cast<uint32_t>(W::getMenuItemId(menu, i))));
            }
            return c.choose < 0 ? 0u : static_cast<uint32_t>(W::getMenuItemId(menu, c.choose));
        });
        png->showSetting(nullptr);
        W::setMenuAnswerHook(nullptr);
        EXPECT_EQ(labels, (std::vector<std::string>{"PNGファイル(透過付き)", "PNGファイル(透過無し)"}));
        EXPECT_EQ(checked, (std::vector<bool>{c.transparent != 0, c.transparent == 0}));
        EXPECT_EQ(png->transparent, c.stored);
        EXPECT_EQ(png->getSettingText(), c.stored != 0 ? L"PNGファイル(透過付き)" : L"PNGファイル(透過無し)");
        png.reset();
        EXPECT_EQ(storedSection("Output.PNGファイル出力"),
                  (std::vector<std::string>{"order=0", "transparent=" + std::to_string(c.stored)}));
    }
}

TEST_F(ExportDialogs, TheSaveDialogCarriesTheWritersSettingsStrip) {
    auto jpeg = plugin<Plugin::JpgFileSave>();
    ScriptedFiles files;
    std::vector<std::string> texts;
    std::vector<std::string> buttons;
    // The strip as the dialog shows it, its button pressed once with 40
    // typed, and the path chosen.
    W::setFileDialogHook([&](const W::FileDialogRequest& r) -> std::optional<std::string> {
        files.asked.push_back(r);
        if (r.strip == nullptr) return std::nullopt;
        r.strip->stripOpened();
        buttons.push_back(r.strip->controlText(W::kStripButtonId));
        texts.push_back(r.strip->controlText(W::kStripTextId));
        dialogs.answers.push_back([](W::DialogWindow& d) {
            d.setText(ScriptedDialogs::field(d, "JPEG品質"), "40");
            d.press(W::kDialogIdOk);
        });
        r.strip->stripCommand(W::kStripButtonId);
        texts.push_back(r.strip->controlText(W::kStripTextId));
        r.strip->stripClosed();
        return (install() / "picture").string();
    });
    std::wstring path;
    ASSERT_TRUE(Dialog::OutputSettingStrip::saveFileDialog(path, *jpeg));
    EXPECT_EQ(path, System::utf8ToWide((install() / "picture.jpg").string()));
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(files.asked[0].title, "JPEGファイル出力");
    EXPECT_TRUE(files.asked[0].save);
    EXPECT_EQ(buttons, (std::vector<std::string>{"設定"}));
    EXPECT_EQ(texts, (std::vector<std::string>{"JPEG品質:90", "JPEG品質:40"}));
    EXPECT_EQ(jpeg->quality, 40);

    // A plug-in without settings gets the plain save dialog under its name.
    jpeg->flags = Plugin::OutputPlugin::kVideo;
    EXPECT_FALSE(Dialog::OutputSettingStrip::saveFileDialog(path, *jpeg));
    ASSERT_EQ(files.asked.size(), 2u);
    EXPECT_EQ(files.asked[1].strip, nullptr);
    EXPECT_EQ(files.asked[1].title, "JPEGファイル出力");
    EXPECT_EQ(path, System::utf8ToWide((install() / "picture.jpg").string()));
}

}  // namespace
