#include "media/gpu/ComResource.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/LogCapture.h"

namespace {

struct Thing {
    int value;
};

}  // namespace

template <>
struct Media::ComResourceName<Thing> {
    static constexpr const char* createResourceScope = "Media::ComResource<struct IThing>::createResource";
};

namespace {

TEST(ComResource, GeneratorRunsOnceAndOnlyWhenAsked) {
    int calls = 0;
    {
        Media::ComResource<Thing> holder([&](std::unique_ptr<Thing>* slot) {
            ++calls;
            *slot = std::make_unique<Thing>(Thing{calls});
        });
        EXPECT_EQ(0, calls);
        Thing* first = holder.createResource();
        EXPECT_EQ(first, holder.createResource());
        EXPECT_EQ(1, calls);
        // Releasing the object makes the next request run the generator again.
        holder.object.reset();
        EXPECT_EQ(2, holder.createResource()->value);
    }
    Media::ComResource<Thing> never([&](std::unique_ptr<Thing>*) { ++calls; });
    EXPECT_EQ(2, calls);
}

TEST(ComResource, EmptyHolderThrowsUnlessTheObjectWasStored) {
    LogCapture log;
    Media::ComResource<Thing> holder;
    try {
        holder.createResource();
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_STREQ("resource generator not set.\n\n[Place]\nMedia::ComResource<struct IThing>::createResource()",
                     e.what());
    }
    holder.object = std::make_unique<Thing>(Thing{7});
    EXPECT_EQ(7, holder.createResource()->value);
}

TEST(ComResource, FailingGeneratorLeavesTheHolderEmptyForTheNextTry) {
    bool fail = true;
    Media::ComResource<Thing> holder([&](std::unique_ptr<Thing>* slot) {
        if (fail) throw std::runtime_error("device lost");
        *slot = std::make_unique<Thing>(Thing{3});
    });
    EXPECT_THROW(holder.createResource(), std::runtime_error);
    EXPECT_FALSE(holder.object);
    fail = false;
    EXPECT_EQ(3, holder.createResource()->value);
}

TEST(ComResource, GeneratorMayReplaceItsHoldersGenerator) {
    Media::ComResource<Thing> holder;
    holder.generator = [&holder](std::unique_ptr<Thing>* slot) {
        holder.generator = nullptr;  // destroys the stored generator, not the running copy
        *slot = std::make_unique<Thing>(Thing{5});
    };
    EXPECT_EQ(5, holder.createResource()->value);
}

}  // namespace
