#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <thread>

#include "core/EventSync.h"
#include "core/SemaphoreSync.h"
#include "platform/os/ThreadSafety.h"

// Every thread besides the UI thread: a named thread that runs posted tasks
// one at a time in the order they were posted. The owner may bound the queue
// (a poster then blocks while it is full), cancel queued tasks by key, wait
// until everything posted so far has run, and stop it.
namespace Worker {

class WorkerThread {
public:
    struct Task {
        int32_t key = 0;  // -1 marks the task of waitAll
        std::function<void()> function;
    };

    // name must live as long as the program (it is not copied).
    explicit WorkerThread(const char* name);
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    void addTask(int32_t key, std::function<void()> function);
    // Removes every queued task with the key; the running one is not affected.
    void cancelTask(int32_t key);
    // Tasks posted and not yet finished: the queued ones and the one running.
    size_t pendingTaskCount();
    // Returns once every task posted before the call has run (at once on a
    // stopped worker). Never call it on the worker's own thread.
    void waitAll();
    // Ends the thread after the task in progress; queued tasks are dropped.
    // Called on the worker's own thread it throws std::system_error
    // (resource_deadlock_would_occur) and the worker goes on.
    void stop();

    // The owner bounds the queue right after construction: semaphore().setMax(n).
    Sync::Semaphore& semaphore() { return semaphore_; }
    const char* name() const { return name_; }

private:
    Task popTask();
    bool processTask();
    void threadMain();

    Platform::os::Mutex mutex_;
    Sync::Event wakeEvent_;
    // Set as threadMain returns. stop waits on it before the join: an os wait
    // answers messages sent to the stopping thread, std::thread::join does not.
    Sync::Event endedEvent_;
    std::thread thread_;
    std::deque<Task> queue_ GUARDED_BY(mutex_);
    int32_t runningKey_ GUARDED_BY(mutex_) = -1;  // -1: no task, or a waitAll marker
    Sync::Semaphore semaphore_;
    std::atomic<bool> running_{true};
    const char* name_;
};

}  // namespace Worker
