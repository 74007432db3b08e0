#include <gtest/gtest.h>

#include <map>

#include "media/gpu/ResourceBuffer.h"
#include "render/RenderFixture.h"
#include "render/ResourceCache.h"

namespace RenderTest {
namespace {

using Image = Render::ResourceCache::Image;

// The buffers need the GPU service.
class ResourceCacheTest : public RenderFixture {};

// Steps: "+name size" adds a new image under the name, "?name" finds it.
TEST_F(ResourceCacheTest, KeepsTheMostRecentlyUsedWithinTheBudget) {
    struct Case {
        const char* title;
        int64_t budget;
        std::vector<std::string> steps;
        int64_t used;
        std::vector<std::string> kept, evicted;
    };
    const Case cases[] = {
        {"the newer of two that do not fit together", 1000, {"+a 600", "+b 600"}, 600, {"b"}, {"a"}},
        {"a find makes an entry recent", 1000, {"+a 400", "+b 400", "?a", "+c 300"}, 700, {"a", "c"}, {"b"}},
        {"without the find the oldest goes", 1000, {"+a 400", "+b 400", "+c 300"}, 700, {"b", "c"}, {"a"}},
        {"larger than the budget", 1000, {"+a 2000"}, 0, {}, {"a"}},
        {"larger than the budget evicts every older entry", 1000, {"+a 100", "+b 2000"}, 0, {}, {"a", "b"}},
        {"exactly the budget", 1000, {"+a 1000"}, 1000, {"a"}, {}},
        {"re-adding replaces the size and makes it recent", 1000, {"+a 400", "+b 400", "+a 500", "+c 200"}, 700,
         {"a", "c"}, {"b"}},
        {"finding a missing name changes nothing", 1000, {"+a 400", "?x", "+b 600"}, 1000, {"a", "b"}, {"x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        Render::ResourceCache cache(c.budget);
        std::map<std::string, Image> stored;
        for (const std::string& step : c.steps) {
            const std::string name = step.substr(1, step.find(' ') - 1);
            if (step[0] == '+') {
                stored[name] = std::make_shared<Media::ResourceBuffer>(0, 0);
                cache.add(name, stored[name], std::stoll(step.substr(step.find(' ') + 1)));
            } else {
                cache.find(name);
            }
        }
        EXPECT_EQ(cache.used(), c.used);
        EXPECT_EQ(cache.size(), c.kept.size());
        for (const auto& name : c.kept)
            EXPECT_EQ(cache.find(name), stored[name]) << name;
        for (const auto& name : c.evicted)
            EXPECT_EQ(cache.find(name), nullptr) << name;
    }
}

TEST_F(ResourceCacheTest, EvictedImagesAreReleasedWhileTheCallerKeepsItsReference) {
    Render::ResourceCache cache(10);
    auto kept = std::make_shared<Media::ResourceBuffer>(0, 0);
    std::weak_ptr<Media::ResourceBuffer> dropped;
    {
        auto image = std::make_shared<Media::ResourceBuffer>(0, 0);
        dropped = image;
        cache.add("a", std::move(image), 5);
    }
    cache.add("b", kept, 20);  // larger than the budget: evicts "a" and itself
    EXPECT_TRUE(dropped.expired());
    EXPECT_EQ(kept.use_count(), 1);
    EXPECT_EQ(cache.used(), 0);
}

TEST_F(ResourceCacheTest, AcquireGivesTheStoredImageOfTheSameSizeElseANewOne) {
    Render::ResourceCache cache(1000);
    const Image first = cache.acquire("buf", 10, 8);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->width, 10u);
    EXPECT_EQ(first->height, 8u);
    EXPECT_EQ(first->format, Media::Direct3DService::get()->pixelFormat);
    EXPECT_EQ(cache.used(), 80);
    EXPECT_EQ(cache.acquire("buf", 10, 8), first);
    const Image resized = cache.acquire("buf", 12, 8);
    EXPECT_NE(resized, first);
    EXPECT_EQ(resized->width, 12u);
    EXPECT_EQ(cache.find("buf"), resized);
    EXPECT_EQ(cache.used(), 96);
    // Over the budget: the caller still gets its buffer, the cache keeps nothing.
    const Image big = cache.acquire("big", 40, 40);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->width, 40u);
    EXPECT_EQ(cache.find("big"), nullptr);
    EXPECT_EQ(cache.find("buf"), nullptr);
    EXPECT_EQ(cache.used(), 0);
}

}  // namespace
}  // namespace RenderTest
