#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <optional>
#include <vector>

#include "core/ClipboardImage.h"
#include "core/EventCommandPost.h"
#include "core/EventCommandType.h"
#include "core/ServiceHolder.h"
#include "edit/EditService.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceService.h"
#include "platform/gpu/Context.h"
#include "platform/window/Message.h"
#include "platform/window/TopLevel.h"

namespace {

namespace W = Platform::window;

// What the command window was handed: the image copied while it was alive.
struct Received {
    System::ClipboardImage image;
    std::vector<uint8_t> firstRow;
};
std::optional<Received> g_received;

intptr_t commandProcedure(W::WindowHandle window, uint32_t message, uintptr_t kind, intptr_t payload) {
    if (message == W::kWmUser && kind == static_cast<uintptr_t>(Event::EventCommandType::SetClipboardImage)) {
        const auto& image = *reinterpret_cast<const System::ClipboardImage*>(payload);
        Received r{image, std::vector<uint8_t>(image.pixels, image.pixels + image.width * 4)};
        r.image.pixels = nullptr;  // gone once the send returns
        g_received = r;
        return 0;
    }
    return W::defWindowProc(window, message, kind, payload);
}

TEST(FrameCopy, TheRenderedFrameReachesTheCommandWindowInTheAskedFormat) {
    dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE);
    System::ServiceHolder<Media::Direct3DService> d3d;
    System::ServiceHolder<Resource::ResourceService> resources;
    Media::RenderBuffer buffer(10, d3d.get()->defaultSampleDesc);
    buffer.createTexture2D(3, 2);
    buffer.createRenderTargetView();
    const float red[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    d3d.get()->context->clearRenderTargetView(buffer.renderTargetView, red);

    W::WindowDesc desc;
    desc.procedure = commandProcedure;
    const W::WindowHandle window = W::createWindow(desc);
    ASSERT_NE(window, nullptr);
    g_received.reset();
    const auto previousReader = Edit::EditService::setFrameImageReader(
        [](Media::RenderBuffer& frame, int32_t format) { return frame.createImageBuffer(format, true); });
    Edit::EditService::copyFrameImage(87, buffer);  // no command window: nothing is sent
    EXPECT_FALSE(g_received);
    const W::WindowHandle previous = Event::commandWindow();
    Event::setCommandWindow(window);
    for (const int32_t format : {87, 88}) {
        g_received.reset();
        Edit::EditService::copyFrameImage(format, buffer);
        ASSERT_TRUE(g_received) << format;
        EXPECT_EQ(g_received->image.width, 3);
        EXPECT_EQ(g_received->image.height, 2);
        EXPECT_EQ(g_received->image.alpha, format == 87);
        EXPECT_GE(g_received->image.pitch, 12u);
        // Blue, green, red, alpha bytes.
        EXPECT_EQ(g_received->firstRow[0], 0);
        EXPECT_EQ(g_received->firstRow[2], 255);
    }
    Event::setCommandWindow(previous);
    Edit::EditService::setFrameImageReader(previousReader);
    W::destroyWindow(window);
}

}  // namespace
