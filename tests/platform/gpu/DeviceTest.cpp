#include <atomic>
#include <thread>
#include <vulkan/vulkan.h>

#include "GpuFixture.h"

using namespace Platform;
using namespace Platform::gpu;

using DeviceTest = GpuTest;

TEST_F(DeviceTest, OffersFeatureLevelOrderedViewsAndTheProgramFormats) {
    EXPECT_EQ(0xb100u, device().featureLevel());
    EXPECT_FALSE(device().adapterName().empty());
    EXPECT_TRUE(device().rasterizerOrderedViews());
    for (int32_t format : {28, 87, 65, 10, 69, 11, 13, 41, 88, 107}) {
        uint32_t support = 0;
        EXPECT_EQ(kOk, device().checkFormatSupport(format, support)) << format;
        EXPECT_TRUE(support & kFormatSupportTexture2D) << format;
    }
    uint32_t support = 0;
    EXPECT_EQ(kInvalidArg, device().checkFormatSupport(2, support));
    EXPECT_EQ(0u, support);
    uint32_t working = 0;
    (void)device().checkFormatSupport(10, working);
    EXPECT_TRUE(working & kFormatSupportRenderTarget);
    EXPECT_TRUE(working & kFormatSupportTypedUnorderedAccess);
    EXPECT_TRUE(device().linearFilterSupported(10));
}

TEST_F(DeviceTest, RejectsTexturesTheDeviceCannotTake) {
    struct Case {
        const char* what;
        TextureDesc desc;
        bool initial;
        uint32_t pitch;
    };
    const Case cases[] = {
        {"zero width", {0, 16, 10, 1, kBindShaderResource}, false, 0},
        {"zero height", {16, 0, 10, 1, kBindShaderResource}, false, 0},
        {"wider than 16384", {16385, 4, 10, 1, kBindShaderResource}, false, 0},
        {"unknown format", {4, 4, 2, 1, kBindShaderResource}, false, 0},
        {"no bind flags", {4, 4, 10, 1, 0}, false, 0},
        {"sample count 3", {4, 4, 10, 3, kBindRenderTarget}, false, 0},
        {"multisampled shader resource", {4, 4, 10, 4, kBindRenderTarget | kBindShaderResource}, false, 0},
        {"multisampled with data", {4, 4, 10, 4, kBindRenderTarget}, true, 32},
        {"row pitch too small", {4, 4, 10, 1, kBindShaderResource}, true, 31},
    };
    std::vector<uint8_t> pixels(4096);
    for (const Case& c : cases) {
        InitialData init{pixels.data(), c.pitch};
        std::unique_ptr<Texture> t;
        EXPECT_EQ(kInvalidArg, device().createTexture(c.desc, c.initial ? &init : nullptr, t)) << c.what;
        EXPECT_FALSE(t) << c.what;
    }
    std::unique_ptr<Texture> edge;
    EXPECT_EQ(kOk, device().createTexture({16384, 1, 10, 1, kBindShaderResource}, nullptr, edge));
}

TEST_F(DeviceTest, ViewsAreMadeOnceAndOnlyForAllowedRoles) {
    auto t = makeTexture(8, 8, 10, kBindShaderResource | kBindRenderTarget);
    View* a = nullptr;
    View* b = nullptr;
    ASSERT_EQ(kOk, t->view(ViewKind::ShaderResource, a));
    ASSERT_EQ(kOk, t->view(ViewKind::ShaderResource, b));
    EXPECT_EQ(a, b);
    EXPECT_EQ(t.get(), &a->texture());
    View* uav = nullptr;
    EXPECT_EQ(kInvalidArg, t->view(ViewKind::UnorderedAccess, uav));
    EXPECT_EQ(nullptr, uav);
    auto upload = makeTexture(8, 8, 69, kBindShaderResource);
    View* rtv = nullptr;
    EXPECT_EQ(kInvalidArg, upload->view(ViewKind::RenderTarget, rtv));
}

TEST_F(DeviceTest, ConstantBuffersNeedANonZeroMultipleOf16) {
    std::unique_ptr<Buffer> b;
    EXPECT_EQ(static_cast<Platform::Result>(0x80070057u), device().createBuffer(BufferKind::Constant, 0, nullptr, b));
    EXPECT_EQ(kInvalidArg, device().createBuffer(BufferKind::Constant, 20, nullptr, b));
    EXPECT_EQ(kOk, device().createBuffer(BufferKind::Constant, 160, nullptr, b));
    EXPECT_EQ(160u, b->size());
    const float vertices[9] = {};
    EXPECT_EQ(kOk, device().createBuffer(BufferKind::Vertex, sizeof vertices, vertices, b));
}

TEST_F(DeviceTest, TexturesAreCreatedFromSeveralThreadsAtOnce) {
    constexpr int kThreads = 4;
    std::unique_ptr<Texture> made[kThreads][8];
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([this, i, &made] {
            for (int k = 0; k < 8; ++k) {
                std::vector<uint8_t> pixels(16 * 16 * 4, static_cast<uint8_t>(i * 8 + k));
                TextureDesc desc{16, 16, 28, 1, kBindShaderResource};
                InitialData init{pixels.data(), 64};
                (void)device().createTexture(desc, &init, made[i][k]);
                View* v = nullptr;
                if (made[i][k]) (void)made[i][k]->view(ViewKind::ShaderResource, v);
            }
        });
    }
    for (auto& t : threads) t.join();
    for (int i = 0; i < kThreads; ++i) {
        for (int k = 0; k < 8; ++k) {
            ASSERT_TRUE(made[i][k]);
            auto pixels = readBack(*made[i][k]);
            EXPECT_EQ(std::vector<uint8_t>(16 * 16 * 4, static_cast<uint8_t>(i * 8 + k)), pixels);
        }
    }
}

TEST_F(DeviceTest, ValidationMessagesAreCollected) {
    // A buffer of size zero breaks a valid-usage rule; the layer must report it,
    // else the other tests' checks would prove nothing.
    VkBufferCreateInfo info{};
    info.sType = VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO;
    info.size = 0;
    info.usage = VK_BUFFER_USAGE_TRANSFER_SRC_BIT;
    VkBuffer buffer = VK_NULL_HANDLE;
    if (vkCreateBuffer(device().vkDevice(), &info, nullptr, &buffer) == VK_SUCCESS && buffer)
        vkDestroyBuffer(device().vkDevice(), buffer, nullptr);
    EXPECT_GT(device().validationMessageCount(), 0u);
    device().clearValidationMessages();
}

TEST_F(DeviceTest, ObjectsComeAndGoOnOtherThreadsWhileTheContextWorks) {
    // Worker threads create textures with data, read views and destroy them
    // while this thread records, submits and waits on its own textures.
    std::atomic<bool> stop{false};
    std::vector<std::thread> workers;
    for (int w = 0; w < 3; ++w) {
        workers.emplace_back([this, &stop, w] {
            std::vector<uint8_t> px(32 * 32 * 4, static_cast<uint8_t>(w));
            while (!stop) {
                std::unique_ptr<Texture> t;
                TextureDesc desc{32, 32, 87, 1, kBindShaderResource};
                InitialData init{px.data(), 32 * 4};
                if (device().createTexture(desc, &init, t) != kOk) break;
                View* v = nullptr;
                (void)t->view(ViewKind::ShaderResource, v);
            }
        });
    }
    auto a = makeTexture(64, 64, 10, kBindShaderResource | kBindRenderTarget);
    auto b = makeTexture(64, 64, 10, kBindShaderResource | kBindRenderTarget);
    View* rtv = nullptr;
    ASSERT_EQ(kOk, a->view(ViewKind::RenderTarget, rtv));
    for (int i = 0; i < 40; ++i) {
        const float c[4] = {i / 40.0f, 0, 0, 1};
        context().clearRenderTargetView(rtv, c);
        (void)context().copyResource(*b, *a);
        if (i % 4 == 0) {
            auto px = readBack(*b);
            float t[4];
            texelHalf4(px, 64, 5, 5, t);
            EXPECT_NEAR(i / 40.0f, t[0], 1e-3);
        }
    }
    stop = true;
    for (auto& t : workers) t.join();
}
