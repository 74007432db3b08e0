#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "render/cache/CacheKey.h"
#include "render/cache/PreLoadCache.h"

namespace {

using Key = Cache::ImageCacheKey;
using Store = System::PreLoadCache<Key, std::string, Cache::CacheKeyHash>;

// A loader that completes its key with a value of one byte and counts its runs.
struct CountingLoader {
    Store& store;
    std::atomic<int> runs{0};
    Store::Loader operator()(const Key& key) {
        return [this, key] {
            ++runs;
            store.complete(key,
                           std::make_shared<std::string>(std::to_string(key.path.size()) + ":" +
                                                         std::to_string(key.frame)),
                           1);
        };
    }
};

TEST(PreLoadCacheTest, TwoReadersOfOneAbsentKeyShareOneLoad) {
    Store store(100);
    std::promise<void> started, release;
    std::shared_future<void> gate = release.get_future().share();
    std::atomic<int> runs{0};
    const Key key{L"movie.mp4", 3};
    auto loader = [&] {
        if (runs++ == 0) started.set_value();
        gate.wait();
        store.complete(key, std::make_shared<std::string>("frame"), 1);
    };
    auto first = std::async(std::launch::async, [&] { return store.get(key, loader); });
    started.get_future().wait();  // the load runs and the key is pending
    EXPECT_TRUE(store.isPending(key));
    auto second = std::async(std::launch::async, [&] { return store.get(key, loader); });
    release.set_value();
    const auto a = first.get(), b = second.get();
    ASSERT_TRUE(a);
    EXPECT_EQ(a, b);
    EXPECT_EQ(runs, 1);
}

TEST(PreLoadCacheTest, BudgetOfZeroHandsOverEveryValueAndKeepsNone) {
    Store store(0);
    CountingLoader load{store};
    const Key key{L"a.png", 0};
    for (int i = 0; i < 2; ++i) {
        const auto value = store.get(key, load(key));
        ASSERT_TRUE(value);
        EXPECT_EQ(*value, "5:0");
    }
    EXPECT_EQ(load.runs, 2);
    EXPECT_FALSE(store.isCached(key));
    EXPECT_EQ(store.byteTotal(), 0u);
}

TEST(PreLoadCacheTest, TheEndOfALoadNeverReleasesTheNextRequestOfItsKey) {
    Store store(0);  // the value is evicted as soon as it is handed over
    const Key key{L"clip.mp4", 8};
    std::promise<void> release;
    std::shared_future<void> gate = release.get_future().share();
    int runs = 0;
    auto loader = [&] {
        const bool first = runs++ == 0;
        store.complete(key, std::make_shared<std::string>("frame"), 1);
        if (first) gate.wait();  // the first load has delivered but not yet ended
    };
    ASSERT_TRUE(store.get(key, loader));
    auto second = std::async(std::launch::async, [&] { return store.get(key, loader); });
    while (!store.isPending(key)) std::this_thread::yield();  // the second request waits for its own load
    release.set_value();
    EXPECT_TRUE(second.get());
    EXPECT_EQ(runs, 2);
}

TEST(PreLoadCacheTest, OnlyGetRefreshesRecency) {
    struct Case {
        const char* name;
        bool touchWithGet;  // else with preload
        bool firstKept;
    };
    const Case cases[] = {{"preload", false, false}, {"get", true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Store store(2);
        CountingLoader load{store};
        const Key a{L"f", 0}, b{L"f", 1}, next{L"f", 2};
        store.get(a, load(a));
        store.get(b, load(b));
        if (c.touchWithGet)
            store.get(a, load(a));
        else
            store.preload(a, load(a));
        store.get(next, load(next));  // one entry over the budget
        EXPECT_EQ(store.isCached(a), c.firstKept);
        EXPECT_EQ(store.isCached(b), !c.firstKept);
        EXPECT_EQ(load.runs, 3);  // a cached key is never loaded again
    }
}

TEST(PreLoadCacheTest, ReadWithoutLoaderLeavesNoKeyPending) {
    Store store(10);
    const Key key{L"*1", 4};
    EXPECT_FALSE(store.get(key, nullptr));
    EXPECT_FALSE(store.isPending(key));
    // A producer completing it later still caches it for the next reader.
    store.complete(key, std::make_shared<std::string>("scene"), 1);
    ASSERT_TRUE(store.get(key, nullptr));
}

TEST(PreLoadCacheTest, RequestAsksTheProducerOnceAndReadersWaitForItsAnswer) {
    struct Case {
        const char* name;
        bool produces;
    };
    for (const Case c : {Case{"completed", true}, Case{"abandoned", false}}) {
        SCOPED_TRACE(c.name);
        Store store(10);
        const Key key{L"*2", 0};
        std::vector<Key> asked;
        EXPECT_FALSE(store.request(key, [&](const Key& k) { asked.push_back(k); }));
        EXPECT_TRUE(store.isPending(key));
        auto reader = std::async(std::launch::async, [&] { return store.get(key, nullptr); });
        if (c.produces)
            store.complete(key, std::make_shared<std::string>("drawn"), 1);
        else
            store.abandon(key);
        EXPECT_EQ(reader.get() != nullptr, c.produces);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_FALSE(store.isPending(key));
        // Asked again once nothing is cached.
        store.request(key, [&](const Key& k) { asked.push_back(k); });
        EXPECT_EQ(asked.size(), c.produces ? 1u : 2u);
    }
}

TEST(PreLoadCacheTest, ProducerThatThrowsReleasesTheKey) {
    Store store(10);
    const Key key{L"*3", 0};
    store.request(key, [](const Key&) { throw std::runtime_error("no render"); });
    EXPECT_FALSE(store.isPending(key));
}

TEST(PreLoadCacheTest, LoaderThatThrowsOrFindsNothingLetsTheNextRequestTryAgain) {
    Store store(10);
    int runs = 0;
    const Key key{L"broken.mp4", 1};
    EXPECT_FALSE(store.get(key, [&] {
        ++runs;
        throw std::runtime_error("decoder");
    }));
    EXPECT_FALSE(store.get(key, [&] { ++runs; }));
    EXPECT_EQ(runs, 2);
    EXPECT_FALSE(store.isPending(key));
}

TEST(PreLoadCacheTest, StopReleasesWaitersWithNothing) {
    Store store(10);
    const Key key{L"*4", 0};
    store.request(key, [](const Key&) {});  // a producer that never answers
    auto reader = std::async(std::launch::async, [&] { return store.get(key, nullptr); });
    store.stop();
    EXPECT_FALSE(reader.get());
    EXPECT_FALSE(store.isPending(key));
}

TEST(PreLoadCacheTest, RemoveIfDropsCachedEntriesOfAPathAndLeavesPendingOnes) {
    Store store(100);
    for (const Key& k : {Key{L"*1", 0}, Key{L"*1", 1}, Key{L"*12", 0}, Key{L"clip.mp4", 0}})
        store.complete(k, std::make_shared<std::string>("v"), 1);
    const Key pending{L"*1", 5};
    store.request(pending, [](const Key&) {});
    store.removeIf([](const Key& k) { return k.path == L"*1"; });
    EXPECT_FALSE(store.isCached(Key{L"*1", 0}));
    EXPECT_FALSE(store.isCached(Key{L"*1", 1}));
    EXPECT_TRUE(store.isCached(Key{L"*12", 0}));
    EXPECT_TRUE(store.isCached(Key{L"clip.mp4", 0}));
    EXPECT_TRUE(store.isPending(pending));
    store.complete(pending, std::make_shared<std::string>("fresh"), 1);
    EXPECT_TRUE(store.isCached(pending));
    EXPECT_EQ(store.byteTotal(), 3u);
}

TEST(PreLoadCacheTest, ClearRunsQueuedLoadsThenEmptiesTheStore) {
    Store store(100);
    CountingLoader load{store};
    for (int i = 0; i < 12; ++i) store.preload(Key{L"f", i}, load(Key{L"f", i}));  // past the queue bound of 8
    store.clear();
    EXPECT_EQ(load.runs, 12);
    EXPECT_EQ(store.byteTotal(), 0u);
    EXPECT_FALSE(store.isCached(Key{L"f", 11}));
}

TEST(PreLoadCacheTest, KeysHashAsFnv1aOverIndexAndUtf16Path) {
    struct Case {
        std::wstring path;
        int64_t index;
        uint64_t pathHash, indexHash;
    };
    const Case cases[] = {
        {L"", 0, 0xcbf29ce484222325ull, 0xa8c7f832281a39c5ull},
        {L"a", -1, 0x089be207b544f1e4ull, 0x8cf51a8bfca3883dull},
        {L"\U0001F600", 0, 0xf39a100fb654058aull, 0xa8c7f832281a39c5ull},  // a surrogate pair
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cache::CacheKeyHash::hashPath(c.path), c.pathHash);
        EXPECT_EQ(Cache::CacheKeyHash::hashIndex(c.index), c.indexHash);
    }
    EXPECT_EQ(Cache::CacheKeyHash{}(Cache::ImageCacheKey{L"a", -1}), 0x089be207b544f1e4ull ^ 0x8cf51a8bfca3883dull);
}

}  // namespace
