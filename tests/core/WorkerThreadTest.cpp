#include "core/WorkerThread.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "core/EventCommandPost.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
#include "support/LogCapture.h"

namespace {

// A task that holds the worker until the test opens it.
class Gate {
public:
    std::function<void()> task() {
        return [this] {
            entered_.set_value();
            open_.get_future().wait();
        };
    }
    void waitEntered() { entered_.get_future().wait(); }
    void open() { open_.set_value(); }

private:
    std::promise<void> entered_;
    std::promise<void> open_;
};

// Records what ran, from the worker thread.
struct Record {
    std::mutex mutex;
    std::vector<int> ran;
    std::function<void()> task(int id) {
        return [this, id] {
            std::lock_guard lock(mutex);
            ran.push_back(id);
        };
    }
    std::vector<int> get() {
        std::lock_guard lock(mutex);
        return ran;
    }
};

// True when f has not finished within a moment. A correct worker never lets
// it finish early, so this can only pass wrongly, never fail wrongly.
bool stillBlocked(std::future<void>& f) {
    return f.wait_for(std::chrono::milliseconds(100)) == std::future_status::timeout;
}

TEST(WorkerThread, RunsInOrderAndCancelsExactlyOneKey) {
    Worker::WorkerThread worker("OrderWorker");
    Gate gate;
    Record record;
    worker.addTask(0, gate.task());
    gate.waitEntered();
    EXPECT_EQ(worker.pendingTaskCount(), 1u);  // the running task
    const int keys[] = {0, 2, 0, 2, 1, 0, 2};
    for (int i = 0; i < 7; ++i) worker.addTask(keys[i], record.task(i));
    EXPECT_EQ(worker.pendingTaskCount(), 8u);
    worker.cancelTask(2);
    worker.cancelTask(9);  // no such key: nothing changes
    EXPECT_EQ(worker.pendingTaskCount(), 5u);
    gate.open();
    worker.waitAll();
    EXPECT_EQ(record.get(), (std::vector<int>{0, 2, 4, 5}));
    EXPECT_EQ(worker.pendingTaskCount(), 0u);
}

TEST(WorkerThread, BoundBlocksTheEleventhPosterUntilATaskLeaves) {
    Worker::WorkerThread worker("BoundWorker");
    worker.semaphore().setMax(10);
    Gate gate;
    Record record;
    worker.addTask(0, gate.task());
    gate.waitEntered();  // the running task holds no count
    for (int i = 0; i < 10; ++i) worker.addTask(0, record.task(i));
    auto eleventh = std::async(std::launch::async, [&] { worker.addTask(0, record.task(10)); });
    EXPECT_TRUE(stillBlocked(eleventh));
    gate.open();
    eleventh.get();
    worker.waitAll();
    EXPECT_EQ(record.get().size(), 11u);
}

TEST(WorkerThread, CancelReleasesTheCountsOfRemovedTasks) {
    Worker::WorkerThread worker("CancelWorker");
    worker.semaphore().setMax(10);
    Gate gate;
    Record record;
    worker.addTask(0, gate.task());
    gate.waitEntered();
    for (int i = 0; i < 7; ++i) worker.addTask(0, record.task(i));
    for (int i = 0; i < 3; ++i) worker.addTask(2, record.task(100 + i));
    std::vector<std::future<void>> posters;
    for (int i = 0; i < 3; ++i)
        posters.push_back(std::async(std::launch::async, [&, i] { worker.addTask(0, record.task(200 + i)); }));
    EXPECT_TRUE(stillBlocked(posters[0]));
    worker.cancelTask(2);
    for (auto& poster : posters) poster.get();  // three counts freed: all three go on
    gate.open();
    worker.waitAll();
    const auto ran = record.get();
    EXPECT_EQ(ran.size(), 10u);
    for (int id : ran) EXPECT_TRUE(id < 100 || id >= 200) << id;
}

TEST(WorkerThread, WaitAllReturnsAfterTheRunningTaskAndTheQueue) {
    Worker::WorkerThread worker("WaitWorker");
    Gate gate;
    Record record;
    worker.addTask(0, gate.task());
    gate.waitEntered();
    for (int i = 0; i < 5; ++i) worker.addTask(0, record.task(i));
    auto waiting = std::async(std::launch::async, [&] { worker.waitAll(); });
    EXPECT_TRUE(stillBlocked(waiting));
    gate.open();
    waiting.get();
    EXPECT_EQ(record.get().size(), 5u);
    worker.waitAll();  // idle: returns once the marker ran
}

TEST(WorkerThread, StopDropsQueuedTasksAndJoins) {
    auto worker = std::make_unique<Worker::WorkerThread>("StopWorker");
    Gate gate;
    Record record;
    worker->addTask(0, gate.task());
    gate.waitEntered();
    auto destroyed = std::make_shared<int>(0);
    for (int i = 0; i < 5; ++i) worker->addTask(0, [&record, destroyed, i] { record.task(i)(); });
    auto stopping = std::async(std::launch::async, [&] { worker->stop(); });
    EXPECT_TRUE(stillBlocked(stopping));  // the task in progress finishes first
    gate.open();
    stopping.get();
    EXPECT_TRUE(record.get().empty());
    EXPECT_EQ(destroyed.use_count(), 1);  // the queued callables are gone, unrun

    worker->addTask(0, [&record, destroyed] { record.task(99)(); });
    EXPECT_EQ(destroyed.use_count(), 1);  // posted after stop: destroyed at once
    worker->waitAll();                    // a stopped worker: returns at once
    worker->stop();                       // a second stop does nothing
    worker.reset();
    EXPECT_TRUE(record.get().empty());
}

TEST(WorkerThread, StopOnItsOwnThreadThrowsAndTheWorkerGoesOn) {
    Worker::WorkerThread worker("SelfStopWorker");
    std::promise<std::error_code> failed;
    worker.addTask(0, [&] {
        try {
            worker.stop();
            failed.set_value({});
        } catch (const std::system_error& e) {
            failed.set_value(e.code());
        }
    });
    EXPECT_EQ(failed.get_future().get(), std::errc::resource_deadlock_would_occur);
    std::promise<void> ranAfter;
    worker.addTask(0, [&] { ranAfter.set_value(); });
    ranAfter.get_future().wait();  // still running: the failed stop changed nothing
    worker.stop();
}

TEST(WorkerThreadDeathTest, DestroyedByItsOwnTaskEndsTheProgramInsteadOfHanging) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            auto* worker = new Worker::WorkerThread("SelfDeleteWorker");
            std::promise<void> never;
            worker->addTask(0, [worker] { delete worker; });
            never.get_future().wait();
        },
        "");
}

TEST(WorkerThread, StopReleasesPostersBlockedOnAFullQueue) {
    Worker::WorkerThread worker("StopBoundWorker");
    worker.semaphore().setMax(1);
    Gate gate;
    worker.addTask(0, gate.task());
    gate.waitEntered();
    worker.addTask(0, [] {});
    auto blocked = std::async(std::launch::async, [&] { worker.addTask(0, [] {}); });
    EXPECT_TRUE(stillBlocked(blocked));
    auto stopping = std::async(std::launch::async, [&] { worker.stop(); });
    gate.open();
    stopping.get();
    blocked.get();
}

std::atomic<int> g_sentToUi{0};

intptr_t countSends(Platform::window::WindowHandle, uint32_t message, uintptr_t, intptr_t) {
    if (message == Platform::window::kWmUser) ++g_sentToUi;
    return 0;
}

// The UI thread stops a worker whose task is inside a send to the UI thread:
// the stop must answer the send while it waits for the thread's end.
TEST(WorkerThread, StopAnswersASendFromTheStoppingWorker) {
    namespace W = Platform::window;
    W::WindowDesc desc;
    desc.title = "stop target";
    desc.procedure = countSends;
    W::WindowHandle window = W::createWindow(desc);
    ASSERT_NE(window, nullptr);
    g_sentToUi = 0;
    intptr_t answered = -1;
    {
        Worker::WorkerThread worker("SendingWorker");
        std::promise<void> entered;
        worker.addTask(0, [&] {
            entered.set_value();
            answered = W::sendMessage(window, W::kWmUser, 0, 0) + 1;
        });
        entered.get_future().wait();  // the task runs: stop cannot drop it
        worker.stop();
    }
    EXPECT_EQ(g_sentToUi.load(), 1);
    EXPECT_EQ(answered, 1);
    W::destroyWindow(window);
}

std::vector<std::pair<uintptr_t, std::string>> g_commands;

intptr_t recordCommands(Platform::window::WindowHandle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == Platform::window::kWmUser) {
        std::unique_ptr<std::exception> posted(reinterpret_cast<std::exception*>(lParam));
        g_commands.emplace_back(wParam, posted->what());
    }
    return 0;
}

TEST(WorkerThread, ATaskExceptionIsLoggedAndRaisedOnTheUiThread) {
    namespace W = Platform::window;
    W::WindowDesc desc;
    desc.title = "commands";
    desc.procedure = recordCommands;
    W::WindowHandle window = W::createWindow(desc);
    ASSERT_NE(window, nullptr);
    Event::setCommandWindow(window);
    g_commands.clear();
    {
        LogCapture log;
        Worker::WorkerThread worker("ThrowingWorker");
        Record record;
        worker.addTask(0, [] { throw std::runtime_error("boom"); });
        worker.addTask(0, record.task(1));
        worker.waitAll();
        EXPECT_EQ(record.get(), std::vector<int>{1});
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(log.lines[0].level, "ERROR");
        EXPECT_EQ(log.lines[0].scope, "Worker::WorkerThread::processTask");
        EXPECT_EQ(log.lines[0].message, "[ThrowingWorker] exception.\nboom");
    }
    W::Message msg;
    while (W::peekMessage(msg, nullptr, 0, 0, W::kPmRemove)) W::dispatchMessage(msg);
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0].first, 3u);
    EXPECT_EQ(g_commands[0].second, "boom");
    Event::setCommandWindow(nullptr);
    W::destroyWindow(window);

    // Without a window to raise it in, the copy is freed (the sanitizer checks it).
    LogCapture log;
    Worker::WorkerThread worker("Lonely");
    worker.addTask(0, [] { throw std::runtime_error("nobody listens"); });
    worker.waitAll();
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST(WorkerThread, TheSystemSeesANameCutTo15Bytes) {
    Worker::WorkerThread worker("RenderObjectWorkerVideo");
    std::string seen;
    worker.addTask(0, [&seen] {
        char name[32] = {};
        pthread_getname_np(pthread_self(), name, sizeof name);
        seen = name;
    });
    worker.waitAll();
    EXPECT_EQ(seen, "RenderObjectWor");
    EXPECT_STREQ(worker.name(), "RenderObjectWorkerVideo");
}

}  // namespace
