#include "core/WorkerThread.h"

#include <memory>
#include <stdexcept>
#include <system_error>

#include "core/EventCommandPost.h"
#include "core/Log.h"
#include "core/Process.h"
#include "platform/os/Com.h"
#include "platform/os/Thread.h"

namespace Worker {
namespace {

// What waitAll waits on. The flag carries the ordering in the language's own
// terms (the event's kernel object orders nothing for the compiler or tools).
struct MarkerState {
    Sync::Event event;
    std::atomic<bool> done{false};
};

// Signals when it goes: the waitAll marker is destroyed both after it ran and
// when a stop drops it unrun, so the waiter never hangs. The state is shared,
// so the one of the two that lets go last frees it.
struct MarkerSignal {
    std::shared_ptr<MarkerState> state;
    ~MarkerSignal() {
        state->done.store(true, std::memory_order_release);
        state->event.set();
    }
};

}  // namespace

WorkerThread::WorkerThread(const char* name) : name_(name) {
    // Started last, once every member it touches exists.
    thread_ = std::thread([this] { threadMain(); });
}

// Destroyed by one of its own tasks, stop throws and the program ends here
// instead of hanging.
WorkerThread::~WorkerThread() { stop(); }

void WorkerThread::addTask(int32_t key, std::function<void()> function) {
    if (!running_.load()) return;
    const bool bounded = semaphore_.isSet();
    if (bounded) semaphore_.acquire();  // before the mutex: blocks while the queue is full
    Platform::os::MutexLock lock(mutex_);
    if (!running_.load()) {
        // Stopped while this poster waited for room: the task is dropped with its count.
        if (bounded) semaphore_.release(1);
        lock.unlock();
        return;
    }
    queue_.push_back({key, std::move(function)});
    wakeEvent_.set();
}

void WorkerThread::cancelTask(int32_t key) {
    std::deque<Task> removed;
    {
        Platform::os::MutexLock lock(mutex_);
        std::deque<Task> kept;
        for (auto& task : queue_) (task.key == key ? removed : kept).push_back(std::move(task));
        queue_ = std::move(kept);
        if (semaphore_.isSet() && !removed.empty()) semaphore_.release(static_cast<uint32_t>(removed.size()));
    }
    // The removed callables are destroyed here, outside the mutex.
}

size_t WorkerThread::pendingTaskCount() {
    Platform::os::MutexLock lock(mutex_);
    size_t count = runningKey_ != -1 ? 1 : 0;
    for (const Task& task : queue_)
        if (task.key != -1) ++count;  // waitAll markers are no work
    return count;
}

void WorkerThread::waitAll() {
    if (!running_.load()) return;
    const auto state = std::make_shared<MarkerState>();
    std::shared_ptr<MarkerSignal> signal(new MarkerSignal{state});
    addTask(-1, [signal]() mutable { signal.reset(); });
    signal.reset();
    state->event.wait();
    while (!state->done.load(std::memory_order_acquire)) {
        // Set before the event: never spins in practice.
    }
}

void WorkerThread::stop() {
    // From one of its own tasks the wait for the thread's end could never return.
    if (std::this_thread::get_id() == thread_.get_id())
        throw std::system_error(std::make_error_code(std::errc::resource_deadlock_would_occur),
                                "Worker::WorkerThread::stop on the worker's own thread");
    if (!running_.exchange(false)) return;
    {
        // Under the mutex: the thread resets the event under it after looking at running_,
        // so the wake-up cannot fall between its look and its reset.
        Platform::os::MutexLock lock(mutex_);
        wakeEvent_.set();
    }
    // A task may be inside a send to this thread (the UI thread stopping its
    // worker): the wait answers it, so the thread can end before the join.
    endedEvent_.wait();
    thread_.join();
    std::deque<Task> dropped;
    {
        Platform::os::MutexLock lock(mutex_);
        dropped.swap(queue_);
        // Posters blocked on a full queue go on (and find the worker stopped).
        if (semaphore_.isSet() && !dropped.empty()) semaphore_.release(static_cast<uint32_t>(dropped.size()));
    }
}

WorkerThread::Task WorkerThread::popTask() {
    Platform::os::MutexLock lock(mutex_);
    if (queue_.empty()) return {};
    Task task = std::move(queue_.front());
    queue_.pop_front();
    runningKey_ = task.key;
    // The count comes back as the task leaves the queue: the bound limits waiting tasks only.
    if (semaphore_.isSet()) semaphore_.release(1);
    return task;
}

bool WorkerThread::processTask() {
    Task task = popTask();
    if (!task.function) return false;
    struct Finished {
        WorkerThread& worker;
        ~Finished() {
            Platform::os::MutexLock lock(worker.mutex_);
            worker.runningKey_ = -1;
        }
    } finished{*this};
    try {
        task.function();
        task.function = nullptr;
    } catch (const std::exception& e) {
        System::Log::error("Worker::WorkerThread::processTask", "[%s] exception.\n%s", name_, e.what());
        auto* copy = new std::runtime_error(e.what());
        // Raised again on the UI thread, which owns the copy from then on.
        if (!Event::postEventCommand(Event::EventCommandType::ThrowException,
                                     reinterpret_cast<intptr_t>(static_cast<std::exception*>(copy))))
            delete copy;  // no main window to raise it in: the ERROR line is all that remains
    }
    return true;
}

void WorkerThread::threadMain() {
    Platform::os::setCurrentThreadName(name_);
    System::Process::SetThreadPriority("WorkerThreadPriority");
    namespace Os = Platform::os;
    const bool com = Platform::succeeded(Os::coInitializeEx(Os::kCoInitMultiThreaded | Os::kCoInitDisableOle1Dde));
    if (!com) System::Log::error("Worker::WorkerThread::threadMain", "[%s] CoInitializeEx() failed.", name_);
    while (running_.load()) {
        {
            Platform::os::MutexLock lock(mutex_);
            if (queue_.empty() && running_.load()) {
                wakeEvent_.reset();
                lock.unlock();
                wakeEvent_.wait();
            }
        }
        while (running_.load() && processTask()) {
        }
    }
    if (com) Os::coUninitialize();
    endedEvent_.set();
}

}  // namespace Worker
