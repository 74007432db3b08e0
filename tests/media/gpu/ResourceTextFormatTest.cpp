// The interface's text formats of the resource service: made on first use
// from the style's [Font] keys, the second from the first's family and size.
#include <gtest/gtest.h>

#include <memory>

#include "MediaFixture.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "platform/draw2d/Text.h"

namespace {

class ResourceTextFormatTest : public ResourceTest {
protected:
    void SetUp() override { settings_ = std::make_unique<System::ServiceHolder<Setting::SettingService>>(); }
    void TearDown() override {
        settings_.reset();
        ResourceTest::TearDown();
    }
    static void set(const char* key, const char* value) {
        Setting::SettingService::get()->style.getValue("Font", key).text = value;
    }
    std::unique_ptr<System::ServiceHolder<Setting::SettingService>> settings_;
};

TEST_F(ResourceTextFormatTest, NineFormatsFromTheirKeysTheSecondAtFourFifthsOfTheFirst) {
    // A service of its own: the shared one may have made its formats already.
    Resource::ResourceService service;
    ASSERT_EQ(service.textFormats.size(), 9u);
    const char* const keys[] = {"Control",   "",       "EditControl", "LayerObject", "PreviewTime",
                                "TimeGauge", "Footer", "TextEdit",    "Log"};
    for (size_t i = 0; i < 9; ++i)
        if (*keys[i]) set(keys[i], (std::to_string(10 + i) + ",Noto Sans CJK JP").c_str());
    set("Control", "15,Noto Sans CJK JP");
    for (size_t i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        const Platform::draw2d::TextFormat* format = service.textFormats[i]->get();
        ASSERT_NE(format, nullptr);
        EXPECT_EQ(format->familyName(), "Noto Sans CJK JP");
        EXPECT_FLOAT_EQ(format->fontSize(), i == 0 ? 15.0f : i == 1 ? 12.0f : float(10 + i));
        EXPECT_EQ(service.textFormats[i]->get(), format) << "made once";
    }
}

}  // namespace
