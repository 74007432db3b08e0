#include "core/ServiceHolder.h"
#include "core/ServiceStack.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_events;

struct Counted {
    Counted() {
        // The slot is still empty while the constructor runs.
        g_events.push_back(System::ServiceSlot<Counted>::instance == nullptr ? "build(empty slot)" : "build(filled)");
    }
    ~Counted() { g_events.push_back("destroy"); }
};

TEST(ServiceHolder, FirstHolderCreatesLastDestroys) {
    g_events.clear();
    using Slot = System::ServiceSlot<Counted>;
    std::optional<System::ServiceHolder<Counted>> first, second;
    first.emplace();
    EXPECT_EQ(Slot::useCount, 1);
    Counted* service = Slot::instance;
    ASSERT_NE(service, nullptr);
    second.emplace();
    EXPECT_EQ(Slot::useCount, 2);
    EXPECT_EQ(Slot::instance, service);
    first.reset();
    EXPECT_EQ(Slot::useCount, 1);
    EXPECT_EQ(Slot::instance, service);
    second.reset();
    EXPECT_EQ(Slot::useCount, 0);
    EXPECT_EQ(Slot::instance, nullptr);
    EXPECT_EQ(g_events, (std::vector<std::string>{"build(empty slot)", "destroy"}));
}

struct Throws {
    Throws() { throw std::runtime_error("no"); }
};

TEST(ServiceHolder, ThrowingConstructorLeavesSlotEmpty) {
    EXPECT_THROW(System::ServiceHolder<Throws>(), std::runtime_error);
    EXPECT_EQ(System::ServiceSlot<Throws>::instance, nullptr);
    EXPECT_EQ(System::ServiceSlot<Throws>::useCount, 0);
}

template <int N>
struct Numbered {
    Numbered() { g_events.push_back("+" + std::to_string(N)); }
    ~Numbered() { g_events.push_back("-" + std::to_string(N)); }
};

TEST(ServiceStack, ReleasesInReverseOrder) {
    g_events.clear();
    {
        System::ServiceStack stack;
        stack.addService<Numbered<1>>();
        stack.addOwned<Numbered<2>>();
        stack.addService<Numbered<3>>();
        EXPECT_EQ(stack.size(), 3u);
    }
    EXPECT_EQ(g_events, (std::vector<std::string>{"+1", "+2", "+3", "-3", "-2", "-1"}));
}

}  // namespace
