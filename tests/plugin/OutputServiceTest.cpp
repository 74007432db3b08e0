// The output service without a window: its plug-ins, the export's start and
// end as the log and the dialogs see them, and the progress text.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "plugin/OutputFile.h"
#include "plugin/OutputPlugin.h"
#include "plugin/OutputService.h"
#include "core/EventSync.h"
#include "core/HookScope.h"
#include "core/ServiceHolder.h"
#include "support/LogCapture.h"

namespace {

struct Dialogs : Edit::HeadlessDialogs {
    bool answerAbort = false;
    int abortAsked = 0;
    std::vector<std::wstring> errors;
    bool askOkCancel(const std::wstring&) override {
        ++abortAsked;
        return answerAbort;
    }
    void showError(const std::wstring& text) override { errors.push_back(text); }
};

class OutputServiceTest : public testing::Test {
protected:
    void SetUp() override { previous_ = Edit::EditService::setDialogs(dialogs); }
    void TearDown() override { Edit::EditService::setDialogs(previous_); }

    bool logged(const std::string& text) const {
        for (const auto& line : log.lines)
            if (line.message == text) return true;
        return false;
    }

    LogCapture log;
    std::shared_ptr<Dialogs> dialogs = std::make_shared<Dialogs>();
    System::ServiceHolder<Plugin::OutputService> service;

private:
    std::shared_ptr<Edit::EditDialogs> previous_;
};

TEST_F(OutputServiceTest, RegistersTheBuiltInWritersInOrder) {
    const auto& plugins = service.get()->plugins();
    ASSERT_EQ(plugins.size(), 3u);
    EXPECT_EQ(plugins[0]->name, L"AVIファイル出力");
    EXPECT_EQ(plugins[1]->name, L"PNGファイル出力");
    EXPECT_EQ(plugins[2]->name, L"JPEGファイル出力");
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(plugins[i]->order(), i);
        EXPECT_EQ(plugins[i]->flags, 5);
    }
    EXPECT_EQ(plugins[1]->getSettingText(), L"PNGファイル(透過付き)");
    EXPECT_EQ(plugins[2]->getSettingText(), L"JPEG品質:90");
}

TEST_F(OutputServiceTest, ABadIndexThrowsAndACancelledDialogStartsNothing) {
    Plugin::OutputService& output = *service.get();
    for (int32_t index : {-1, 3}) {
        try {
            output.outputFile(index);
            ADD_FAILURE() << "index " << index;
        } catch (const std::exception& e) {
            EXPECT_EQ(std::string(e.what()).rfind("not found output plugin.", 0), 0u) << e.what();
        }
    }
    output.outputFile(1);  // the save dialog's queue is empty: cancelled
    EXPECT_FALSE(output.isRunning());
    for (const auto& line : log.lines) EXPECT_EQ(line.message.find("export file start"), std::string::npos);
}

// Without a render service no frame can be had: the still writers save
// nothing, and the export ends as failed, not complete.
TEST_F(OutputServiceTest, AnExportWithoutAFrameEndsFailed) {
    Plugin::OutputService& output = *service.get();
    for (int32_t index : {1, 2}) {
        SCOPED_TRACE(index);
        log.lines.clear();
        dialogs->errors.clear();
        dialogs->saveAnswers.push_back(L"/tmp/velmo-no-frame.out");
        output.outputFile(index);
        ASSERT_TRUE(output.isRunning());
        output.waitExport();
        EXPECT_FALSE(output.isRunning());
        EXPECT_FALSE(output.lastExportSucceeded());
        EXPECT_TRUE(logged("export file start : /tmp/velmo-no-frame.out"));
        EXPECT_TRUE(logged("export file failed : /tmp/velmo-no-frame.out"));
        EXPECT_FALSE(logged("export file complete"));
        EXPECT_EQ(dialogs->errors.size(), 1u);
    }
}

TEST_F(OutputServiceTest, AbortAsksOnceAndOnlyWhileAnExportRuns) {
    Plugin::OutputService& output = *service.get();
    EXPECT_FALSE(output.abortRequest());
    EXPECT_EQ(dialogs->abortAsked, 0);

    // A job that waits for the test, so the export is still running when Esc comes.
    struct Gate : Plugin::OutputPlugin {
        std::shared_ptr<Plugin::OutputFile> createOutputFile(const std::wstring& path, const Plugin::ExportScene& scene,
                                                             Plugin::ExportSource* source) override {
            struct Waiting : Plugin::OutputFile {
                using OutputFile::OutputFile;
                Sync::Event* open = nullptr;
                bool save() override {
                    open->wait();
                    return true;
                }
            };
            auto job = std::make_shared<Waiting>(path, true, scene, source);
            job->open = &open;
            return job;
        }
        Sync::Event open;
    };
    auto* gate = static_cast<Gate*>(output.registerPlugin("Gate", [] { return std::make_shared<Gate>(); }));
    ASSERT_NE(gate, nullptr);
    dialogs->saveAnswers.push_back(L"/tmp/velmo-gate.out");
    output.outputFile(3);
    ASSERT_TRUE(output.isRunning());
    output.outputFile(3);  // a second export while one runs: no dialog, no log line
    EXPECT_EQ(dialogs->saveAnswers.size(), 0u);

    dialogs->answerAbort = false;  // Cancel: exporting goes on
    output.abortRequest();
    EXPECT_FALSE(output.currentJob()->abort);
    dialogs->answerAbort = true;  // OK: the writer sees the flag
    output.abortRequest();
    EXPECT_TRUE(output.currentJob()->abort);
    output.abortRequest();  // asked once only
    EXPECT_EQ(dialogs->abortAsked, 2);

    gate->open.set();
    output.waitExport();
    EXPECT_TRUE(logged("export file cancel"));
    EXPECT_FALSE(logged("export file complete"));
}

TEST_F(OutputServiceTest, OnlyAFinishedJobThatAsksForItEndsWithTheNotice) {
    struct Case {
        const char* name;
        bool notify;
        bool aborted;
        bool noticed;
    } cases[] = {
        {"a job with the notice", true, false, true},
        {"a job without it (the still pictures)", false, false, false},
        {"an aborted job with the notice", true, true, false},
    };
    std::vector<std::pair<std::wstring, std::wstring>> notices;
    Plugin::OutputService::Presenter presenter;
    presenter.notify = [&](const std::wstring& title, const std::wstring& text) { notices.emplace_back(title, text); };
    const System::HookScope scope(Plugin::OutputService::setPresenter, presenter);
    Plugin::OutputService& output = *service.get();
    struct Writer : Plugin::OutputPlugin {
        const Case* current = nullptr;
        std::shared_ptr<Plugin::OutputFile> createOutputFile(const std::wstring& path, const Plugin::ExportScene& scene,
                                                             Plugin::ExportSource* source) override {
            struct Job : Plugin::OutputFile {
                using OutputFile::OutputFile;
                bool aborted = false;
                bool save() override {
                    if (aborted) abort = true;  // Esc answered with OK while it ran
                    return true;
                }
            };
            auto job = std::make_shared<Job>(path, current->notify, scene, source);
            job->aborted = current->aborted;
            return job;
        }
    };
    auto* writer = static_cast<Writer*>(output.registerPlugin("Writer", [] { return std::make_shared<Writer>(); }));
    ASSERT_NE(writer, nullptr);
    const int32_t index = static_cast<int32_t>(output.plugins().size()) - 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        notices.clear();
        writer->current = &c;
        dialogs->saveAnswers.push_back(L"/tmp/velmo-notice.out");
        output.outputFile(index);
        output.waitExport();
        using Notices = std::vector<std::pair<std::wstring, std::wstring>>;
        const Notices expected = c.noticed ? Notices{{L"Velmo Kirta2", L"ファイル出力が完了しました"}} : Notices{};
        EXPECT_EQ(notices, expected);
    }
}

TEST(OutputServiceProgress, ShortFormUntilFifteenSecondsAndFifteenFrames) {
    struct Case {
        int32_t done, total;
        uint64_t elapsed;
        const wchar_t* text;
    } cases[] = {
        {0, 0, 0, L"0.00% (0/0)"},
        {5, 10, 60000, L"50.00% (5/10)"},  // fewer than 15 frames
        {100, 300, 14999, L"33.33% (100/300)"},
        {15, 300, 15000, L"5.00% (15/300) | RemainingTime 00:04:45 (1.00fps)"},
        {600, 108600, 20000, L"0.55% (600/108600) | RemainingTime 01:00:00 (30.00fps)"},
        {20, 10, 20000, L"200.00% (20/10) | RemainingTime -00:00:10 (1.00fps)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Plugin::OutputService::progressText(c.done, c.total, c.elapsed), c.text)
            << c.done << "/" << c.total << " after " << c.elapsed;
}

}  // namespace
