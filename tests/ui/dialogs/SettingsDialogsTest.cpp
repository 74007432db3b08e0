// The settings dialogs and the scene, name and frame-length dialogs,
// answered through the dialogs' scripted-answer hook: each shows its stored
// values and stores what OK applies.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>
#include <optional>
#include <string>

#include "core/Logger.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/GdiFontList.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "plugin/InputService.h"
#include "render/cache/CacheService.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolders.h"
#include "ui/dialogs/CacheSizeDialog.h"
#include "ui/dialogs/DialogItemInteger.h"
#include "ui/dialogs/DislpayColorSettingDialog.h"
#include "ui/dialogs/EditServiceDialogs.h"
#include "ui/dialogs/GridCameraDialog.h"
#include "ui/dialogs/GridTempDialog.h"
#include "ui/dialogs/LanguageDialog.h"
#include "ui/dialogs/LogSettingDialog.h"
#include "ui/dialogs/SceneDialog.h"
#include "ui/framework/ToolTips.h"

namespace {

namespace W = Platform::window;
constexpr int32_t kOk = Dialog::DialogTemplate::kOkButtonId;

std::string tip() { return System::wideToUtf8(Window::ToolTips::text); }

class SettingsDialogs : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        writeFile(install() / "system.conf",
                  "[FrameRate]\r\n23.976=24000/1001\r\n29.97=30000/1001\r\n");
        writeFile(install() / "style.conf",
                  "[Layout]\r\nSettingItemHeight=20\r\nExplorerHeaderHeight=28\r\nListItemHeight=24\r\n"
                  "[Font]\r\nControl=20,Test Family\r\nDefaultFamily=Other\r\n");
        settings.emplace();
    }
    void TearDown() override {
        Window::ToolTips::hide();
        settings.reset();
        TestFolders::TearDown();
    }
    std::optional<System::ServiceHolder<Setting::SettingService>> settings;
    ScriptedDialogs dialogs;
};

TEST_F(SettingsDialogs, SceneDialogShowsAndStoresTheSceneValues) {
    struct Case {
        const char* name;
        const char* width;
        const char* rate;
        bool accepted;
        int32_t width2, rate2, scale2;
    } cases[] = {
        {"1280 wide at 60", "1280", "60", true, 1280, 60, 1},
        {"31 is too narrow", "31", "30", false, 1920, 30, 1},
        {"16384 is the widest", "16384", "30", true, 16384, 30, 1},
        {"16385 is too wide", "16385", "30", false, 1920, 30, 1},
        {"a preset rate", "1920", "29.97", true, 1920, 30000, 1001},
        {"a rate without preset", "1920", "12.5", true, 1920, 125, 10},
        {"a rate of 0", "1920", "0", false, 1920, 30, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring name = L"Root";
        int32_t width = 1920, height = 1080, rate = 30, scale = 1, audio = 44100;
        std::vector<std::pair<std::string, std::string>> fields;
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            d.setText(ScriptedDialogs::field(d, "解像度"), c.width);
            d.setText(ScriptedDialogs::field(d, "フレームレート"), c.rate);
            d.setText(ScriptedDialogs::field(d, "名前"), "新しい名前");
            d.press(kOk);
            if (!d.ended()) d.press(W::kDialogIdCancel);
        });
        Dialog::SceneDialog dialog(L"シーンの設定");
        EXPECT_EQ(dialog.open(&name, &width, &height, &rate, &scale, &audio), c.accepted);
        const auto& shown = dialogs.shown.back();
        EXPECT_EQ(shown.caption, "シーンの設定");
        EXPECT_EQ(shown.fields, (std::vector<std::pair<std::string, std::string>>{
                                    {"名前", "Root"},
                                    {"解像度", "1920"},
                                    {"", "1080"},
                                    {"フレームレート", "30"},
                                    {"サンプリングレート", "44100"}}));
        EXPECT_TRUE(shown.okButton);
        EXPECT_EQ(width, c.width2);
        EXPECT_EQ(rate, c.rate2);
        EXPECT_EQ(scale, c.scale2);
        EXPECT_EQ(name, c.accepted ? L"新しい名前" : L"Root");
        EXPECT_EQ(height, 1080);
        EXPECT_EQ(audio, 44100);
        if (!c.accepted) EXPECT_EQ(tip().rfind("値が不正です", 0), 0u) << tip();
    }
}

TEST_F(SettingsDialogs, EditServiceDialogsAnswerTheEditCommands) {
    Dialog::EditServiceDialogs edit;
    // The project dialog has no name field and the project's defaults.
    Edit::SceneValues values{L"keep", 1920, 1080, 30, 1, 44100};
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        d.setText(ScriptedDialogs::field(d, "解像度", 0), "1280");
        d.setText(ScriptedDialogs::field(d, "解像度", 1), "720");
        d.setText(ScriptedDialogs::field(d, "サンプリングレート"), "48000");
        d.press(kOk);
    });
    EXPECT_TRUE(edit.sceneDialog(L"プロジェクトを作成", false, values));
    EXPECT_EQ(dialogs.shown.back().fields,
              (std::vector<std::pair<std::string, std::string>>{
                  {"解像度", "1920"}, {"", "1080"}, {"フレームレート", "30"}, {"サンプリングレート", "44100"}}));
    EXPECT_EQ(values.name, L"keep");
    EXPECT_EQ(values.width, 1280);
    EXPECT_EQ(values.height, 720);
    EXPECT_EQ(values.audioRate, 48000);

    // The rename dialog: one required name field, Enter submits.
    std::wstring name = L"Scene 1";
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        d.setText(ScriptedDialogs::field(d, "名前"), "");
        d.press(W::kDialogIdOk);
        EXPECT_FALSE(d.ended());
        EXPECT_EQ(tip(), "必須項目です");
        d.setText(ScriptedDialogs::field(d, "名前"), "Opening");
        d.press(W::kDialogIdOk);
    });
    EXPECT_TRUE(edit.inputName(L"シーン名を変更", name));
    EXPECT_EQ(dialogs.shown.back().caption, "シーン名を変更");
    EXPECT_FALSE(dialogs.shown.back().okButton);
    EXPECT_EQ(name, L"Opening");
    // Escape keeps the name.
    dialogs.answers.push_back([&](W::DialogWindow& d) { d.press(W::kDialogIdCancel); });
    EXPECT_FALSE(edit.inputName(L"シーン名を変更", name));
    EXPECT_EQ(name, L"Opening");
}

TEST_F(SettingsDialogs, FrameLengthFieldsFollowEachOther) {
    struct Case {
        const char* name;
        int32_t rate, scale, initial;
        const char* shownSeconds;       // when it opens
        int field;                      // 0 seconds, 1 frames
        const char* typed;
        const char* otherAfter;         // the other field's text afterwards
        std::optional<int32_t> frames;  // the answer after Enter
    } cases[] = {
        {"1.5 seconds at 30/1", 30, 1, 0, "0", 0, "1.5", "45", 45},
        {"45 frames at 30/1", 30, 1, 0, "0", 1, "45", "1.5", 45},
        {"letters for seconds", 30, 1, 10, "0.333333", 0, "abc", "", std::nullopt},
        {"letters for frames", 30, 1, 10, "0.333333", 1, "x", "", std::nullopt},
        {"seconds at 30000/1001", 30000, 1001, 300, "10.01", 0, "2", "60", 60},
        {"half a frame rounds away from zero", 2, 1, 0, "0", 0, "0.25", "1", 1},
        {"spaces around seconds", 30, 1, 0, "0", 0, " 2 ", "60", 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dialog::EditServiceDialogs edit;
        std::string opened, other;
        bool okButton = true;
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            const int32_t seconds = ScriptedDialogs::field(d, "秒数指定");
            const int32_t frames = ScriptedDialogs::field(d, "フレーム数指定");
            opened = d.text(seconds);
            okButton = d.hasControl(kOk);
            d.setText(c.field == 0 ? seconds : frames, c.typed);
            other = d.text(c.field == 0 ? frames : seconds);
            d.press(W::kDialogIdOk);
            if (!d.ended()) d.press(W::kDialogIdCancel);
        });
        int32_t frames = c.initial;
        EXPECT_EQ(edit.frameLengthDialog(L"指定時間に移動", c.rate, c.scale, frames), c.frames.has_value());
        EXPECT_EQ(opened, c.shownSeconds);
        EXPECT_FALSE(okButton);
        EXPECT_EQ(other, c.otherAfter);
        EXPECT_EQ(frames, c.frames.value_or(c.initial));
    }
}

TEST_F(SettingsDialogs, CacheSizeDialogStoresAndTrimsTheCaches) {
    System::ServiceHolder<Cache::CacheService> caches;
    System::ServiceHolder<Plugin::InputService> input;
    const int32_t memory = std::max(settings->get()->system.installedMemory, 100);
    // Three 1 MB frames in the image cache, the first the least recently used.
    auto& store = caches.get()->imageCache.store();
    for (int frame = 0; frame < 3; ++frame) {
        const Cache::ImageCacheKey key{L"a.png", frame};
        (void)store.request(key, [](const Cache::ImageCacheKey&) {});
        store.complete(key, Media::ImageBuffer::make(Media::PixelFormat::kR8G8B8A8Unorm, 1, 1), 1048576);
    }
    ASSERT_EQ(store.byteTotal(), 3u * 1048576);

    // 99 MB is refused with the range, then 100 stands.
    std::vector<std::pair<std::string, std::string>> fields;
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        const int32_t image = ScriptedDialogs::field(d, "画像キャッシュサイズ [MB]");
        d.setText(image, "99");
        d.press(kOk);
        EXPECT_FALSE(d.ended());
        EXPECT_EQ(tip(), "値が不正です (100 - " + std::to_string(memory) + ")");
        d.setText(image, "100");
        d.setText(ScriptedDialogs::field(d, "音声キャッシュサイズ [MB]"), "10");
        d.setText(ScriptedDialogs::field(d, "ファイルハンドルキャッシュ数"), "5");
        d.setText(ScriptedDialogs::field(d, "プレビュー再生のバッファリング時間 [ms]"), "30000");
        d.press(kOk);
    });
    Dialog::CacheSizeDialog dialog(L"キャッシュサイズの設定");
    EXPECT_TRUE(dialog.open());
    EXPECT_EQ(dialogs.shown.back().fields,
              (std::vector<std::pair<std::string, std::string>>{{"画像キャッシュサイズ [MB]", "768"},
                                                                {"音声キャッシュサイズ [MB]", "64"},
                                                                {"ファイルハンドルキャッシュ数", "20"},
                                                                {"プレビュー再生のバッファリング時間 [ms]", "500"}}));
    EXPECT_EQ(caches.get()->imageCache.sizeSetting(), 100);
    EXPECT_EQ(caches.get()->audioCache.sizeSetting(), 10);
    EXPECT_EQ(input.get()->fileHandleMax(), 5);
    EXPECT_EQ(store.byteTotal(), 3u * 1048576);  // within 100 MB

    // Escape stores nothing.
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        d.setText(ScriptedDialogs::field(d, "ファイルハンドルキャッシュ数"), "200");
        d.press(W::kDialogIdCancel);
    });
    Dialog::CacheSizeDialog cancelled(L"キャッシュサイズの設定");
    EXPECT_FALSE(cancelled.open());
    EXPECT_EQ(input.get()->fileHandleMax(), 5);

    // A budget below the content drops the least recently used frames at once.
    caches.get()->imageCache.setSizeSetting(2);
    EXPECT_EQ(store.byteTotal(), 2u * 1048576);
    EXPECT_FALSE(store.isCached({L"a.png", 0}));
    EXPECT_TRUE(store.isCached({L"a.png", 2}));
}

TEST_F(SettingsDialogs, LogSettingDialogStoresTheLoggerSettings) {
    System::ServiceHolder<System::Logger> logger;
    logger.get()->setSettings({2, 4, 0, 200, 5});
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        d.choose(ScriptedDialogs::field(d, "ログウィンドウの表示対象レベル"), 4);
        d.choose(ScriptedDialogs::field(d, "ログファイルの記録対象レベル"), 0);
        d.choose(ScriptedDialogs::field(d, "OutputDebugStringの出力対象レベル"), 1);
        d.setText(ScriptedDialogs::field(d, "ログウィンドウの最大行数"), "10000");
        d.setText(ScriptedDialogs::field(d, "ログファイルの最大ファイル数"), "0");
        d.press(kOk);
        EXPECT_FALSE(d.ended());
        EXPECT_EQ(tip(), "値が不正です (1 - 100)");
        d.setText(ScriptedDialogs::field(d, "ログファイルの最大ファイル数"), "100");
        d.press(kOk);
    });
    Dialog::LogSettingDialog dialog(L"ログの設定");
    EXPECT_TRUE(dialog.open());
    EXPECT_EQ(dialogs.shown.back().fields, (std::vector<std::pair<std::string, std::string>>{
                                               {"ログウィンドウの表示対象レベル", "INFO"},
                                               {"ログファイルの記録対象レベル", "ERROR"},
                                               {"OutputDebugStringの出力対象レベル", "NONE"},
                                               {"ログウィンドウの最大行数", "200"},
                                               {"ログファイルの最大ファイル数", "5"}}));
    const auto now = logger.get()->settings();
    EXPECT_EQ(now.viewLogLevel, 4);
    EXPECT_EQ(now.fileLogLevel, 0);
    EXPECT_EQ(now.debuggerLogLevel, 1);
    EXPECT_EQ(now.maxViewLine, 10000);
    EXPECT_EQ(now.maxFileNum, 100);
}

TEST_F(SettingsDialogs, LanguageDialogListsTheLanguagesAndStoresTheChoice) {
    writeFile(appData() / "Language" / "English.vln2", "[Dialog]\r\n");
    writeFile(appData() / "Language" / "Deutsch.vln2", "[Dialog]\r\n");
    System::ServiceHolder<Translate::TranslateService> translate;
    struct Case {
        const char* name;
        std::wstring before;
        const char* chosen;  // nullptr: OK as it stands
        std::wstring after;
    } cases[] = {
        {"Default stores an empty language", L"English", "Default", L""},
        {"a file's language", L"", "English", L"English"},
        {"an empty setting shows Default", L"", nullptr, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        translate.get()->setLanguage(c.before);
        std::vector<std::string> choices;
        std::string shown;
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            const int32_t list = ScriptedDialogs::field(d, "言語");
            choices = d.choices(list);
            shown = d.text(list);
            if (c.chosen != nullptr)
                for (size_t i = 0; i < choices.size(); ++i)
                    if (choices[i] == c.chosen) d.choose(list, int32_t(i));
            d.press(kOk);
        });
        Dialog::LanguageDialog dialog(L"言語の設定");
        EXPECT_TRUE(dialog.open());
        EXPECT_TRUE(dialogs.shown.back().okButton);  // one item, still an OK button
        EXPECT_EQ(choices, (std::vector<std::string>{"Default", "Deutsch", "English"}));
        EXPECT_EQ(shown, c.before.empty() ? "Default" : System::wideToUtf8(c.before));
        EXPECT_EQ(translate.get()->language(), c.after);
    }
}

TEST_F(SettingsDialogs, ControlFontComesFromTheStyle) {
    struct Case {
        const wchar_t* value;
        int32_t height;
        const wchar_t* family;
    } cases[] = {
        {L"13,Noto Sans CJK JP", 13, L"Noto Sans CJK JP"},
        {L"15", 15, L"Default"},
        {L"12.6, Spaced", 13, L"Spaced"},
        {L"big,X", 0, L"X"},
    };
    for (const Case& c : cases) {
        const auto font = Resource::GdiFontList::parse(c.value, L"Default");
        EXPECT_EQ(font.height, c.height) << System::wideToUtf8(c.value);
        EXPECT_EQ(font.family, c.family) << System::wideToUtf8(c.value);
    }
    const Resource::GdiFontList list;
    EXPECT_EQ(list.font().height, 20);
    EXPECT_EQ(list.font().family, L"Test Family");
}

}  // namespace

namespace {

TEST_F(SettingsDialogs, DisplayColorDialogStoresTheThreeChoices) {
    dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE);
    System::ServiceHolder<Media::Direct3DService> direct3d;
    direct3d.get()->highDpiMode = 1;
    direct3d.get()->inputYuvColorSpace = 0;
    direct3d.get()->outputYuvColorSpace = 2;
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        d.choose(ScriptedDialogs::field(d, "高DPI表示"), 0);
        d.choose(ScriptedDialogs::field(d, "YUV入力変換"), 1);
        d.choose(ScriptedDialogs::field(d, "YUV出力変換"), -1);  // nothing chosen keeps it
        d.press(kOk);
    });
    Dialog::DislpayColorSettingDialog dialog(L"画面・色の設定");
    EXPECT_TRUE(dialog.open());
    EXPECT_EQ(dialogs.shown.back().fields,
              (std::vector<std::pair<std::string, std::string>>{{"高DPI表示", "拡大サイズ表示"},
                                                                {"", "アプリケーションの再起動後に反映されます"},
                                                                {"YUV入力変換", "自動"},
                                                                {"YUV出力変換", "BT.709"}}));
    EXPECT_EQ(direct3d.get()->highDpiMode, 0);
    EXPECT_EQ(direct3d.get()->inputYuvColorSpace, 1);
    EXPECT_EQ(direct3d.get()->outputYuvColorSpace, 2);
}

}  // namespace

TEST_F(SettingsDialogs, GridDialogsShowTheValuesAndKeepThemWhenRefused) {
    struct Case {
        const char* name;
        const char* tempo;
        const char* beats;
        const char* offset;
        bool accepted;
        float tempo2;
        int32_t beats2;
        float offset2;
    } cases[] = {
        {"new values", "90", "3", "-1.5", true, 90, 3, -1.5f},
        {"the limits", "1000", "0", "3600", true, 1000, 0, 3600},
        {"a tempo of 0", "0", "4", "0", false, 120, 4, 0.5f},
        {"101 beats", "120", "101", "0", false, 120, 4, 0.5f},
        {"an offset past an hour", "120", "4", "-3601", false, 120, 4, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        float tempo = 120, offset = 0.5f;
        int32_t beats = 4;
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            d.setText(ScriptedDialogs::field(d, "テンポ"), c.tempo);
            d.setText(ScriptedDialogs::field(d, "拍子"), c.beats);
            d.setText(ScriptedDialogs::field(d, "基準時間"), c.offset);
            d.press(kOk);
            if (!d.ended()) d.press(W::kDialogIdCancel);
        });
        EXPECT_EQ(Dialog::GridTempDialog().open(tempo, beats, offset), c.accepted);
        EXPECT_EQ(dialogs.shown.back().caption, "グリッド(BPM)の設定");
        EXPECT_EQ(dialogs.shown.back().fields,
                  (std::vector<std::pair<std::string, std::string>>{{"テンポ", "120"}, {"拍子", "4"}, {"基準時間", "0.5"}}));
        EXPECT_EQ(tempo, c.tempo2);
        EXPECT_EQ(beats, c.beats2);
        EXPECT_EQ(offset, c.offset2);
    }

    Dialog::GridCameraDialog::Field step{L"表示間隔", 200, 1, 10000}, range{L"表示範囲", 10000, 10, 100000};
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        d.setText(ScriptedDialogs::field(d, "表示範囲"), "5");
        d.press(kOk);
        EXPECT_FALSE(d.ended());
        d.setText(ScriptedDialogs::field(d, "表示範囲"), "500");
        d.setText(ScriptedDialogs::field(d, "表示間隔"), "25");
        d.press(kOk);
    });
    EXPECT_TRUE(Dialog::GridCameraDialog(L"グリッド(カメラ制御)の設定").open(step, range));
    EXPECT_EQ(dialogs.shown.back().fields,
              (std::vector<std::pair<std::string, std::string>>{{"表示間隔", "200"}, {"表示範囲", "10000"}}));
    EXPECT_EQ(step.value, 25);
    EXPECT_EQ(range.value, 500);
}
