#include <gtest/gtest.h>

#include "edit/ReadSection.h"
#include "edit/support/EditHarness.h"

using namespace EditTest;

namespace {

class ScopeTest : public testing::Test {
protected:
    EditHarness h;
    Event::EventService& events = *h.events.get();
    std::vector<std::string> calls;

    void SetUp() override {
        events.objectChangedListeners.add([this](const auto& o) { calls.push_back(o ? "object" : "object(none)"); });
        events.layerListeners.add([this] { calls.push_back("layer"); });
        events.sceneListeners.add([this](int id) { calls.push_back("scene " + std::to_string(id)); });
        events.focusObjectListeners.add([this](const auto& o) { calls.push_back(o ? "focus" : "focus(none)"); });
        events.cursorFrameListeners.add([this](int f) { calls.push_back("cursor " + std::to_string(f)); });
    }
};

TEST_F(ScopeTest, ClosingCallsTheListedListenersInOrder) {
    {
        auto s = h.open();
        EXPECT_FALSE(h.lock.try_lock_shared());
    }
    EXPECT_TRUE(calls.empty());
    {
        auto s = h.open();
        s->cursorChanged = s->focusChanged = s->sceneChanged = s->layerChanged = s->objectChanged = true;
        s->sceneId = 4;
        s->scene->cursorFrame = 12;
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"object(none)", "layer", "scene 4", "focus(none)", "cursor 12"}));
}

TEST_F(ScopeTest, FocusObjectThatLeftIsCleared) {
    std::shared_ptr<Edit::Object> o;
    {
        auto s = h.open();
        s->layersChanged = true;
        o = s->scene->createObject(kImage, 0, 0, 9);
        s->scene->focusObject = o;
    }
    calls.clear();
    {
        auto s = h.open();
        s->layersChanged = true;
        s->scene->layers[0]->needsCompaction = true;
        o->layer = -1;
    }
    EXPECT_EQ(h.scene()->focusObject, nullptr);
    EXPECT_EQ(calls, std::vector<std::string>{"focus(none)"});
    EXPECT_EQ(checkScene(*h.scene()), "");
}

TEST_F(ScopeTest, ListenersRunAfterTheLockIsReleased) {
    bool nested = false;
    events.layerListeners.add([&] {
        if (nested) return;
        nested = true;
        auto inner = h.open();  // would deadlock while the outer scope held the lock
        inner->objectChanged = true;
    });
    {
        auto s = h.open();
        s->layerChanged = true;
    }
    EXPECT_TRUE(nested);
    EXPECT_EQ(calls, (std::vector<std::string>{"layer", "object(none)"}));
}

TEST_F(ScopeTest, ReadScopesShareAndHoldOffEditScopes) {
    {
        Edit::ReadSection a(h.lock, h.scene(), &events);
        Edit::ReadSection b(h.lock, h.scene(), &events);  // shared: no wait
        EXPECT_FALSE(h.lock.try_lock());                  // an edit scope would wait
        EXPECT_EQ(a.scene, h.scene());
    }
    EXPECT_TRUE(h.lock.try_lock());
    h.lock.unlock();
}

TEST_F(ScopeTest, PanelRefreshRunsWithoutTheLock) {
    bool locked = true;
    auto previous = Edit::UpdateSection::setPanelRefresh([&](const Edit::UpdateSection& s) {
        locked = s.holdsLock() || !h.lock.try_lock();
        if (!locked) h.lock.unlock();
    });
    { auto s = h.open(); }
    Edit::UpdateSection::setPanelRefresh(previous);
    EXPECT_FALSE(locked);
}

}  // namespace
