#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "core/EventSync.h"
#include "core/WorkerThread.h"
#include "render/cache/LruCache.h"

// A keyed cache of decoded media within a byte budget whose misses load on a
// worker thread of its own. A reader either finds the value or waits for the
// load of its key; a player asks ahead with preload and never waits. Values
// come back through complete, from the loader or from any other producer
// (a render callback).
//
// A key is absent, pending (a load or a producer was asked and has not
// answered) or cached, never pending and cached at once. A key becomes
// pending only when something was asked to produce it, so no reader ever
// waits for a value nothing will deliver.
namespace System {

template <class Key, class Value, class Hash>
class PreLoadCache {
public:
    using Loader = std::function<void()>;
    // Asked for an absent key by request; answers through complete or abandon.
    using Producer = std::function<void(const Key&)>;

    explicit PreLoadCache(uint64_t byteLimit) {
        worker_.semaphore().setMax(8);
        setByteLimit(byteLimit);
    }
    ~PreLoadCache() { stop(); }
    PreLoadCache(const PreLoadCache&) = delete;
    PreLoadCache& operator=(const PreLoadCache&) = delete;

    // The cached value, or the value the loader produces (waiting for it).
    // Without a loader an absent key is not waited for: the result is empty
    // and nothing is left pending. A pending key is waited for either way.
    std::shared_ptr<Value> get(const Key& key, Loader loader) {
        std::unique_lock lock(mutex_);
        if (auto value = store_.find(key)) return value;
        std::shared_ptr<LoadTask> task;
        bool post = false;
        if (auto it = pending_.find(key); it != pending_.end()) {
            task = it->second;
        } else {
            if (!loader) return nullptr;
            task = std::make_shared<LoadTask>();
            pending_.emplace(key, task);
            post = true;
        }
        lock.unlock();
        if (post) postLoad(key, task, std::move(loader));
        return waitFor(*task);
    }

    // Asks for the key without waiting for it. A cached key keeps its place:
    // only get refreshes recency.
    void preload(const Key& key, Loader loader) {
        std::unique_lock lock(mutex_);
        if (store_.contains(key) || pending_.count(key) != 0) return;
        auto task = std::make_shared<LoadTask>();
        pending_.emplace(key, task);
        lock.unlock();
        postLoad(key, std::move(task), std::move(loader));
    }

    // For keys made by a producer other than a loader: the cached value at
    // once; a pending key waited for; an absent key made pending and the
    // producer asked (its answer is not waited for, the result is empty).
    std::shared_ptr<Value> request(const Key& key, const Producer& producer) {
        std::unique_lock lock(mutex_);
        if (auto value = store_.find(key)) return value;
        if (auto it = pending_.find(key); it != pending_.end()) {
            std::shared_ptr<LoadTask> task = it->second;
            lock.unlock();
            return waitFor(*task);
        }
        pending_.emplace(key, std::make_shared<LoadTask>());
        lock.unlock();
        try {
            producer(key);
        } catch (const std::exception&) {
            abandon(key);
        }
        return nullptr;
    }

    // Stores a produced value and wakes the waiters of its key. An empty
    // value is ignored.
    void complete(const Key& key, std::shared_ptr<Value> value, uint64_t bytes) {
        if (!value) return;
        std::lock_guard lock(mutex_);
        store_.put(key, value, bytes);
        if (auto it = pending_.find(key); it != pending_.end()) {
            it->second->value = std::move(value);
            it->second->event.set();
            pending_.erase(it);
        }
    }

    // A producer that has nothing for the key releases its waiters with an
    // empty value; the next request asks again.
    void abandon(const Key& key) {
        std::lock_guard lock(mutex_);
        if (auto it = pending_.find(key); it != pending_.end()) {
            it->second->event.set();
            pending_.erase(it);
        }
    }

    template <class Predicate>
    void removeIf(Predicate&& accepts) {
        std::lock_guard lock(mutex_);
        store_.removeIf(accepts);
    }

    void setByteLimit(uint64_t bytes) {
        std::lock_guard lock(mutex_);
        store_.setLimit(bytes);
        store_.trim();
    }

    // Runs every queued load, then empties the store; pending keys stay.
    void clear() {
        worker_.waitAll();
        std::lock_guard lock(mutex_);
        store_.clear();
    }

    // Ends loading (queued loads are dropped) and releases every waiter.
    void stop() {
        worker_.stop();
        std::lock_guard lock(mutex_);
        for (auto& [key, task] : pending_) task->event.set();
        pending_.clear();
    }

    // For tests and the cache dialog.
    bool isCached(const Key& key) const {
        std::lock_guard lock(mutex_);
        return store_.contains(key);
    }
    bool isPending(const Key& key) const {
        std::lock_guard lock(mutex_);
        return pending_.count(key) != 0;
    }
    uint64_t byteTotal() const {
        std::lock_guard lock(mutex_);
        return store_.total();
    }

private:
    struct LoadTask {
        Sync::Event event;  // manual reset, signalled when the key is answered
        std::shared_ptr<Value> value;
    };

    static std::shared_ptr<Value> waitFor(LoadTask& task) {
        task.event.wait();
        return task.value;  // written before the event was set
    }

    void postLoad(const Key& key, std::shared_ptr<LoadTask> task, Loader loader) {
        worker_.addTask(0, [this, key, task = std::move(task), loader = std::move(loader)] {
            runLoadTask(key, task, loader);
        });
    }

    void runLoadTask(const Key& key, const std::shared_ptr<LoadTask>& task, const Loader& loader) {
        try {
            if (loader) loader();
        } catch (const std::exception&) {
            // The key stays uncached; its waiters get nothing and the next request tries again.
        }
        // A loader that produced nothing releases its own waiters. Only its own:
        // once it completed, its key may already be pending again for a newer
        // request (the value was evicted at once), whose load is still to come.
        std::lock_guard lock(mutex_);
        if (auto it = pending_.find(key); it != pending_.end() && it->second == task) {
            it->second->event.set();
            pending_.erase(it);
        }
    }

    Worker::WorkerThread worker_{"PreLoadCache"};
    mutable std::mutex mutex_;
    std::unordered_map<Key, std::shared_ptr<LoadTask>, Hash> pending_;
    LruCache<Key, Value, Hash> store_;
};

}  // namespace System
