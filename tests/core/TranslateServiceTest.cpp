#include "core/TranslateService.h"

#include <gtest/gtest.h>

#include "core/NoticePresenter.h"
#include "core/SettingService.h"
#include "support/TestFolders.h"
#include "platform/window/MessageBox.h"
#include "support/LogCapture.h"
#include "ui/dialogs/ShowNotice.h"

namespace {

// The user's UI language for the life of the object.
struct UiLanguage {
    explicit UiLanguage(const char* lang) {
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) unsetenv(name);
        setenv("LANG", lang, 1);
    }
    ~UiLanguage() { unsetenv("LANG"); }
};

class TranslateServiceTest : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        language_ = appData() / "Language";
    }
    void start(const std::string& languageSetting) {
        if (!languageSetting.empty())
            writeFile(appData() / "velmo2.ini", "[Translate]\nLanguage=" + languageSetting + "\n");
        settings_ = std::make_unique<System::ServiceHolder<Setting::SettingService>>();
        service_ = std::make_unique<System::ServiceHolder<Translate::TranslateService>>();
    }
    void restart() {
        service_.reset();
        settings_.reset();
        settings_ = std::make_unique<System::ServiceHolder<Setting::SettingService>>();
        service_ = std::make_unique<System::ServiceHolder<Translate::TranslateService>>();
    }
    void TearDown() override {
        service_.reset();
        settings_.reset();
        TestFolders::TearDown();
    }
    Translate::TranslateService& service() { return *service_->get(); }
    std::wstring menu(const wchar_t* text) { return service().getMenuText(text); }

    std::filesystem::path language_;
    LogCapture log_;
    std::unique_ptr<System::ServiceHolder<Setting::SettingService>> settings_;
    std::unique_ptr<System::ServiceHolder<Translate::TranslateService>> service_;
};

TEST_F(TranslateServiceTest, StarOnAJapaneseUiMeansBuiltInTextsForGood) {
    UiLanguage ui("ja_JP.UTF-8");
    std::filesystem::create_directories(language_);
    writeFile(language_ / "A.vln2", "[Menu]\n\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab=File\n");
    start("");  // no settings file: the default "*"
    EXPECT_FALSE(Translate::TranslateService::isActive());
    EXPECT_EQ(service().language(), L"");
    restart();
    EXPECT_EQ(service().language(), L"");
    EXPECT_NE(readFile(appData() / "velmo2.ini").find("Language=\r\n"), std::string::npos);
}

TEST_F(TranslateServiceTest, StarOnAnotherUiPicksTheFirstListedFile) {
    UiLanguage ui("en_US.UTF-8");
    writeFile(language_ / "B.vln2", "[Menu]\n\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab=Datei\n");
    writeFile(language_ / "A.vln2", "[Menu]\n\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab=File\n");
    start("*");
    EXPECT_TRUE(Translate::TranslateService::isActive());
    EXPECT_EQ(service().language(), L"A");
    EXPECT_EQ(menu(L"ファイル"), L"File");
    EXPECT_EQ(menu(L"編集"), L"編集");
    EXPECT_EQ(service().getLanguageList(), (std::vector<std::wstring>{L"Default", L"A", L"B"}));
    restart();
    EXPECT_EQ(service().language(), L"A");
}

TEST_F(TranslateServiceTest, StarWithoutFilesAndMissingFilesFallBack) {
    UiLanguage ui("en");
    start("*");
    EXPECT_FALSE(Translate::TranslateService::isActive());
    EXPECT_EQ(service().getLanguageList(), std::vector<std::wstring>{L"Default"});

    service_.reset();
    settings_.reset();
    log_.lines.clear();
    start("Missing");
    EXPECT_FALSE(Translate::TranslateService::isActive());
    EXPECT_EQ(service().language(), L"");
    bool logged = false;
    for (const auto& line : log_.lines)
        logged |= line.level == "ERROR" && line.message.find("Missing.vln2") != std::string::npos;
    EXPECT_TRUE(logged);
}

TEST_F(TranslateServiceTest, TablesEscapesAndEmptyValues) {
    writeFile(language_ / "en.vln2",
              "[Message]\nline\\none=first\\nsecond\nsame=\n[Effect]\n\xe3\x81\xbc\xe3\x81\x8b\xe3\x81\x97=Blur\n"
              "[Name]\nRoot=Top\n[Other]\nx=y\n");
    start("en");
    ASSERT_TRUE(Translate::TranslateService::isActive());
    using Table = Translate::TranslateService::Table;
    EXPECT_STREQ(service().translate(Table::Message, L"line\none"), L"first\nsecond");
    EXPECT_STREQ(service().translate(Table::Message, L"same"), L"same");
    EXPECT_STREQ(service().translate(Table::Name, L"Root"), L"Top");
    EXPECT_STREQ(service().translate(Table::Menu, L"Root"), L"Root");  // each kind has its own table
    EXPECT_EQ(service().translate(Table::Dialog, nullptr), nullptr);

    const std::map<int32_t, std::wstring> items{{0, L"ぼかし"}, {3, L"other"}};
    EXPECT_EQ(Translate::translateListItem(items, 0), L"Blur");
    EXPECT_EQ(Translate::translateListItem(items, 3), L"other");
    try {
        Translate::translateListItem(items, 1);
        ADD_FAILURE();
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid map<K, T> key");
    }
}

TEST_F(TranslateServiceTest, AMalformedFileShowsTheBuiltInTexts) {
    // Malformed lines are skipped with a warning each; the language is still
    // active, its sound entries translate and every other text stays built in.
    writeFile(language_ / "bad.vln2",
              "\x93\xfa\x96\x7b garbage\n[Menu\nno equals\n[Menu]\n\xe7\xb7\xa8\xe9\x9b\x86=Edit\nbroken line\n");
    start("bad");
    EXPECT_TRUE(Translate::TranslateService::isActive());
    EXPECT_EQ(menu(L"編集"), L"Edit");
    EXPECT_EQ(menu(L"ファイル"), L"ファイル");
    std::vector<std::string> warned;
    for (const auto& line : log_.lines)
        if (line.level == "WARN") warned.push_back(line.message);
    ASSERT_EQ(warned.size(), 4u);
    const char* lines[] = {"(line 1)", "(line 2)", "(line 3)", "(line 6)"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NE(warned[i].find("illegal format"), std::string::npos) << warned[i];
        EXPECT_NE(warned[i].find(lines[i]), std::string::npos) << warned[i];
    }
}

TEST_F(TranslateServiceTest, RegisteringAFileInstallsAndAnnouncesIt) {
    start("");
    writeFile(
        root_ / "drop" / "a.b.vln2",
        "[Message]\n\xe8\xa8\x80\xe8\xaa\x9e\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab\xe3\x82\x92\xe8\xa8\xad"
        "\xe5\xae\x9a\xe3\x81\x97\xe3\x81\xbe\xe3\x81\x97\xe3\x81\x9f=Language file set\n");
    const System::NoticePresenterScope presenter(Dialog::showNotice);  // as the program installs it
    std::vector<Platform::window::MessageBoxRequest> boxes;
    auto previous = Platform::window::setMessageBoxHook([&](const Platform::window::MessageBoxRequest& r) {
        boxes.push_back(r);
        return Platform::window::kIdOk;
    });
    int rebuilt = 0;
    Translate::TranslateService::setRebuildHandler([&] { ++rebuilt; });
    service().registerLanguageFile(wide(root_ / "drop" / "a.b.vln2"));
    Translate::TranslateService::setRebuildHandler(nullptr);
    Platform::window::setMessageBoxHook(previous);

    EXPECT_TRUE(std::filesystem::exists(language_ / "a.b.vln2"));
    EXPECT_EQ(service().language(), L"a.b");
    EXPECT_TRUE(Translate::TranslateService::isActive());
    EXPECT_EQ(rebuilt, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Language file set");
    EXPECT_EQ(boxes[0].title, "Velmo Kirta2");
    EXPECT_EQ(boxes[0].style & Platform::window::kMbIconInformation, Platform::window::kMbIconInformation);

    LogCapture quiet;
    EXPECT_THROW(service().registerLanguageFile(wide(root_ / "drop" / "none.vln2")), std::runtime_error);
    EXPECT_EQ(service().language(), L"a.b");  // the previous language stays
}

}  // namespace
