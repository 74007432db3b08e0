#include "platform/window/DragDrop.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/window/TopLevel.h"

namespace {
namespace W = Platform::window;

class NoTarget : public W::DropTarget {
public:
    Platform::Result dragEnter(const W::DragData&, uint32_t, W::Point, uint32_t&) override { return 0; }
    Platform::Result dragOver(uint32_t, W::Point, uint32_t&) override { return 0; }
    Platform::Result dragLeave() override { return 0; }
    Platform::Result drop(const W::DragData&, uint32_t, W::Point, uint32_t&) override { return 0; }
};

Platform::Result g_revokedOnDestroy = -1;

intptr_t revokingProc(W::WindowHandle w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == W::kWmDestroy) g_revokedOnDestroy = W::revokeDragDrop(w);
    return W::defWindowProc(w, message, wParam, lParam);
}

// Owners revoke their target from the window's destroy message: the window
// still exists then. Once it is gone, and without a target, revoking fails.
TEST(DragDrop, RevokingFromTheDestroyMessageSucceedsAndAfterItFails) {
    W::WindowDesc desc;
    desc.title = "drop test";
    desc.procedure = revokingProc;
    W::WindowHandle window = W::createWindow(desc);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(W::revokeDragDrop(window), Platform::kInvalidArg);  // nothing registered yet
    ASSERT_EQ(W::registerDragDrop(window, std::make_shared<NoTarget>()), Platform::kOk);
    EXPECT_EQ(W::registerDragDrop(window, std::make_shared<NoTarget>()), W::kErrorAlreadyRegistered);
    ASSERT_TRUE(W::destroyWindow(window));
    EXPECT_EQ(g_revokedOnDestroy, Platform::kOk);
    EXPECT_EQ(W::revokeDragDrop(window), Platform::kInvalidArg);
}

}  // namespace
