#include "platform/notify/Notification.h"

#include <libnotify/notify.h>
#include <sys/stat.h>

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <thread>
#include <utility>

#include "platform/os/ThreadSafety.h"

namespace Platform::notify {
namespace {

constexpr const char* kApplicationName = "Velmo Kirta2";

// The module's thread: runs the queued calls in order. libnotify is used from
// this thread only, with a main context of its own, so the server's signals
// never reach libnotify on another thread.
class Worker {
public:
    Worker() : thread_([this] { run(); }) {}
    ~Worker() {
        {
            os::MutexLock lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void post(std::function<void()> call) {
        {
            os::MutexLock lock(mutex_);
            queue_.push_back(std::move(call));
            ++posted_;
        }
        wake_.notify_all();
    }

    void flush() {
        os::MutexLock lock(mutex_);
        const uint64_t target = posted_;
        while (done_ < target) wake_.wait(mutex_);
    }

    ErrorListener setListener(ErrorListener listener) {
        os::MutexLock lock(mutex_);
        std::swap(listener_, listener);
        return listener;
    }

    // On the module's thread.
    void report(const std::string& text) {
        ErrorListener listener;
        {
            os::MutexLock lock(mutex_);
            listener = listener_;
        }
        if (listener) listener(text);
    }

    NotifyNotification* shown = nullptr;  // the module's thread only

private:
    void run() {
        GMainContext* context = g_main_context_new();
        g_main_context_push_thread_default(context);
        for (;;) {
            std::function<void()> call;
            {
                os::MutexLock lock(mutex_);
                while (queue_.empty() && !stopping_) wake_.wait(mutex_);
                if (queue_.empty()) break;
                call = std::move(queue_.front());
                queue_.pop_front();
            }
            call();
            // The server's answers and signals, handled and dropped.
            while (g_main_context_iteration(context, FALSE)) {
            }
            {
                os::MutexLock lock(mutex_);
                ++done_;
            }
            wake_.notify_all();
        }
        if (shown != nullptr) g_object_unref(shown);
        shown = nullptr;
        if (notify_is_initted()) notify_uninit();
        g_main_context_pop_thread_default(context);
        g_main_context_unref(context);
    }

    os::Mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<std::function<void()>> queue_ GUARDED_BY(mutex_);
    uint64_t posted_ GUARDED_BY(mutex_) = 0;
    uint64_t done_ GUARDED_BY(mutex_) = 0;
    bool stopping_ GUARDED_BY(mutex_) = false;
    ErrorListener listener_ GUARDED_BY(mutex_);
    std::thread thread_;  // last: started once the members above exist
};

Worker& worker() {
    static Worker instance;
    return instance;
}

std::string errorText(const char* call, GError* error) {
    std::string text = call;
    if (error != nullptr) {
        text += ": ";
        text += error->message;
        g_error_free(error);
    }
    return text;
}

// The notice shown is closed and released.
void closeShown(Worker& self) {
    if (self.shown == nullptr) return;
    GError* error = nullptr;
    if (!notify_notification_close(self.shown, &error)) self.report(errorText("notify_notification_close", error));
    g_object_unref(self.shown);
    self.shown = nullptr;
}

}  // namespace

bool sessionBusKnown() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address != nullptr && address[0] != '\0') return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || runtime[0] == '\0') return false;
    struct stat status {};
    return stat((std::string(runtime) + "/bus").c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
}

void show(const Notice& notice) {
    Worker& self = worker();
    self.post([&self, notice] {
        closeShown(self);
        if (!sessionBusKnown()) {
            self.report("no session bus: the notice is not shown");
            return;
        }
        if (!notify_is_initted() && !notify_init(kApplicationName)) {
            self.report("notify_init failed");
            return;
        }
        NotifyNotification* notification = notify_notification_new(
            notice.title.c_str(), notice.body.c_str(), notice.icon.empty() ? nullptr : notice.icon.c_str());
        notify_notification_set_timeout(notification, notice.timeoutMs);
        notify_notification_set_urgency(notification, NOTIFY_URGENCY_NORMAL);
        GError* error = nullptr;
        if (!notify_notification_show(notification, &error)) {
            self.report(errorText("notify_notification_show", error));
            g_object_unref(notification);
            return;
        }
        self.shown = notification;
    });
}

void close() {
    Worker& self = worker();
    self.post([&self] { closeShown(self); });
}

void flush() { worker().flush(); }

ErrorListener setErrorListener(ErrorListener listener) { return worker().setListener(std::move(listener)); }

}  // namespace Platform::notify
