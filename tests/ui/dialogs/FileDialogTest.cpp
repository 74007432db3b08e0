// The open and save dialogs, answered through the window layer's hook.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "platform/window/FileDialog.h"
#include "platform/window/MessageBox.h"
#include "support/ActiveLanguage.h"
#include "ui/dialogs/FileDialogTemplate.h"
#include "ui/dialogs/FileDialogs.h"

namespace {
namespace W = Platform::window;
namespace fs = std::filesystem;

// A filter string from a literal: NUL-separated pairs closed by one more NUL.
template <size_t N>
std::wstring filterOf(const wchar_t (&literal)[N]) {
    return std::wstring(literal, N - 1);
}
const std::wstring kFilter = filterOf(L"ProjectFile (*.vpj2)\0*.vpj2\0Image\0*.bmp;*.png\0AllFile (*.*)\0*.*\0");

// Answers every file dialog from a queue (an empty queue cancels) and keeps
// what each was asked.
class ScriptedFiles {
public:
    std::vector<std::optional<std::string>> answers;
    std::vector<W::FileDialogRequest> asked;
    std::function<void(const W::FileDialogRequest&)> whileOpen;

    ScriptedFiles() {
        previous_ = W::setFileDialogHook([this](const W::FileDialogRequest& r) -> std::optional<std::string> {
            asked.push_back(r);
            if (whileOpen) whileOpen(r);
            if (asked.size() > answers.size()) return std::nullopt;
            return answers[asked.size() - 1];
        });
    }
    ~ScriptedFiles() { W::setFileDialogHook(previous_); }

private:
    W::FileDialogHook previous_;
};

class FileDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("velmo-files-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string in(const std::string& name) const { return (folder_ / name).string(); }

    ScriptedFiles files;

private:
    fs::path folder_;
};

TEST_F(FileDialogs, TheFilterEntryOfThePathsExtensionIsPreselectedWithItsDefaultExtension) {
    struct Case {
        std::wstring path;
        int index;
        std::string extension;
    };
    const Case cases[] = {
        {L"/a/picture.png", 2, "bmp"},  // the entry's first extension, not the path's
        {L"/a/PICTURE.PNG", 2, "bmp"}, {L"/a/movie.vpj2", 1, "vpj2"}, {L"", 0, "vpj2"},  // none: the first entry's
        {L"/a/song.wav", 0, "vpj2"},                                                     // "*.*" names no extension
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(System::wideToUtf8(c.path));
        files.asked.clear();
        std::wstring path = c.path;
        EXPECT_FALSE(Dialog::openFileDialog(path, kFilter.c_str()));
        EXPECT_EQ(path, c.path);  // cancelled: unchanged
        ASSERT_EQ(files.asked.size(), 1u);
        const W::FileDialogRequest& r = files.asked[0];
        EXPECT_EQ(r.filterIndex, c.index);
        EXPECT_EQ(r.defaultExtension, c.extension);
        EXPECT_FALSE(r.save);
        EXPECT_FALSE(r.overwritePrompt);
        ASSERT_EQ(r.filters.size(), 3u);
        EXPECT_EQ(r.filters[1].name, "Image");
        EXPECT_EQ(r.filters[1].patterns, (std::vector<std::string>{"*.bmp", "*.png"}));
    }
}

TEST_F(FileDialogs, ANameWithoutExtensionGetsTheDefaultOne) {
    struct Case {
        std::string answer, expected;
    };
    const Case cases[] = {
        {in("clip"), in("clip.vpj2")},
        {in("clip.PNG"), in("clip.PNG")},
        {in("my.folder/clip"), in("my.folder/clip.vpj2")},  // a point in a folder name is no extension
    };
    for (const Case& c : cases) {
        files.answers = {c.answer};
        files.asked.clear();
        std::wstring path;
        ASSERT_TRUE(Dialog::openFileDialog(path, kFilter.c_str()));
        EXPECT_EQ(System::wideToUtf8(path), c.expected);
    }
}

TEST_F(FileDialogs, SavingOverAnExistingFileAsksAndNoShowsTheDialogAgain) {
    std::ofstream(in("taken.vpj2")) << "x";
    std::vector<W::MessageBoxRequest> questions;
    std::vector<int> replies = {W::kIdNo, W::kIdYes};
    const auto previous = W::setMessageBoxHook([&](const W::MessageBoxRequest& r) {
        questions.push_back(r);
        return replies[questions.size() - 1];
    });
    files.answers = {in("taken"), in("taken.vpj2")};
    std::wstring path = System::utf8ToWide(in("new.vpj2"));
    const bool chosen = Dialog::saveFileDialog(path, kFilter.c_str());
    W::setMessageBoxHook(previous);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(System::wideToUtf8(path), in("taken.vpj2"));
    ASSERT_EQ(files.asked.size(), 2u);
    EXPECT_TRUE(files.asked[0].save && files.asked[0].overwritePrompt);
    EXPECT_EQ(files.asked[1].path, in("taken.vpj2"));  // shown again with the refused name
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_NE(questions[0].text.find("taken.vpj2"), std::string::npos);
    EXPECT_EQ(questions[0].style & 0xF, W::kMbYesNo);

    // A new name and an opened file are never questioned.
    questions.clear();
    files.asked.clear();
    files.answers = {in("fresh")};
    path.clear();
    EXPECT_TRUE(Dialog::saveFileDialog(path, kFilter.c_str()));
    files.asked.clear();
    files.answers = {in("taken.vpj2")};
    EXPECT_TRUE(Dialog::openFileDialog(path, kFilter.c_str()));
    EXPECT_TRUE(questions.empty());
}

TEST_F(FileDialogs, APathOf300CharactersRoundTripsUncut) {
    const std::string longName = in(std::string(300 - in("").size() - 5, 'p') + ".vpj2");
    ASSERT_EQ(longName.size(), 300u);
    files.answers = {longName};
    std::wstring path = System::utf8ToWide(longName);
    ASSERT_TRUE(Dialog::saveFileDialog(path, kFilter.c_str()));
    EXPECT_EQ(files.asked[0].path, longName);
    EXPECT_EQ(System::wideToUtf8(path), longName);
}

TEST_F(FileDialogs, TheSaveTitleIsLookedUpInTheDialogTable) {
    ActiveLanguage language("[Dialog]\nExport=Exportieren\n[Message]\nExport=Wrong table\n");
    std::wstring path;
    Dialog::saveFileDialog(path, kFilter.c_str(), L"Export");
    Dialog::saveFileDialog(path, kFilter.c_str());
    ASSERT_EQ(files.asked.size(), 2u);
    EXPECT_EQ(files.asked[0].title, "Exportieren");
    EXPECT_EQ(files.asked[1].title, "");  // the system's caption
}

class SettingStrip : public Dialog::FileDialogTemplate {
public:
    std::vector<std::string> events;
    void onInitDialog() override {
        events.push_back("init");
        setItemText(1002, L"設定");
        setItemText(1003, L"H.264 / 8 Mbps");
    }
    void onCommand(uint16_t id) override {
        events.push_back("command " + std::to_string(id));
        setItemText(1003, L"H.264 / 16 Mbps");
    }
    void onDestroy() override { events.push_back("destroy"); }
};

TEST_F(FileDialogs, OnlyASaveDialogWithExtraControlsCarriesTheStrip) {
    SettingStrip strip;
    EXPECT_EQ(strip.templateId, 146);
    files.whileOpen = [](const W::FileDialogRequest& r) {
        if (r.strip == nullptr) return;
        r.strip->stripOpened();
        r.strip->stripCommand(W::kStripButtonId);  // the settings button pressed
        r.strip->stripClosed();
    };
    std::wstring path;
    Dialog::saveFileDialog(path, kFilter.c_str(), nullptr, &strip);
    Dialog::saveFileDialog(path, kFilter.c_str());
    ASSERT_EQ(files.asked.size(), 2u);
    EXPECT_EQ(files.asked[0].strip, &strip);
    EXPECT_EQ(files.asked[1].strip, nullptr);
    EXPECT_EQ(strip.events, (std::vector<std::string>{"init", "command 1002", "destroy"}));
    EXPECT_EQ(strip.itemText(1002), L"設定");
    EXPECT_EQ(strip.itemText(1003), L"H.264 / 16 Mbps");
}

TEST(FileDialogFilters, AMalformedFilterEndsWhereItsLastPairEnds) {
    ScriptedFiles files;
    const std::wstring unpaired = filterOf(L"Only a name\0");
    std::wstring path;
    Dialog::openFileDialog(path, unpaired.c_str());
    Dialog::openFileDialog(path, nullptr);
    ASSERT_EQ(files.asked.size(), 2u);
    EXPECT_TRUE(files.asked[0].filters.empty());
    EXPECT_TRUE(files.asked[1].filters.empty());
    EXPECT_EQ(files.asked[1].defaultExtension, "");
}

}  // namespace
