#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>

#include "core/FileName.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "edit/FrameRate.h"
#include "support/TestFolders.h"

namespace {

// The settings service over an installation whose "system.conf" holds the given presets.
class FrameRateTest : public TestFolders {
protected:
    void TearDown() override {
        settings_.reset();
        TestFolders::TearDown();
    }
    void presets(const std::string& lines) {
        std::ofstream(root_ / "install" / "system.conf", std::ios::binary) << "[FrameRate]\n" << lines;
        settings_ = std::make_unique<System::ServiceHolder<Setting::SettingService>>();
    }
    static std::string fromValue(double value) {
        int32_t rate = -1, scale = -1;
        Edit::getFrameRateFromValue(rate, scale, value);
        return std::to_string(rate) + "/" + std::to_string(scale);
    }

    std::unique_ptr<System::ServiceHolder<Setting::SettingService>> settings_;
};

TEST_F(FrameRateTest, WithoutPresetsTheDecimalFormIsKept) {
    const struct {
        double value;
        const char* fraction;
    } cases[] = {
        {29.97, "2997/100"},
        {30, "30/1"},
        {23.976, "23976/1000"},
        {0.5, "5/10"},
        {3000, "0/1"},
        {-2.5, "-25/10"},
        {0, "0/1"},
        {std::nan(""), "0/1"},
        {std::numeric_limits<double>::infinity(), "0/1"},
        {0.0000005, "1/1000000"},  // halves round away from zero
    };
    for (const auto& c : cases) EXPECT_EQ(fromValue(c.value), c.fraction) << c.value;
    EXPECT_DOUBLE_EQ(Edit::getFrameRateValue(30000, 1001), 30000.0 / 1001);
    EXPECT_EQ(Edit::getFrameRateValue(30, 0), 0.0);
}

TEST_F(FrameRateTest, PresetsMapBothWays) {
    presets("29.97=30000/1001\n 59.94x=60000/1001\nabc=1/1\n12=bad\n12=1/1\n25=25\n29.97=999/1\n7=70/a\n7.0=7/1\n");
    EXPECT_EQ(fromValue(29.97), "30000/1001");  // the first of two equal keys in the file
    EXPECT_EQ(fromValue(59.94), "60000/1001");  // blanks before and text after the number
    EXPECT_EQ(fromValue(25), "25/1");           // a rate alone has scale 1
    EXPECT_EQ(fromValue(12), "12/1");           // the duplicate key keeps its first (bad) value: skipped
    EXPECT_EQ(fromValue(7), "7/1");             // "70/a": the scale does not parse, the entry is skipped
    EXPECT_EQ(Edit::getFrameRateValue(30000, 1001), 29.97);
    EXPECT_EQ(Edit::getFrameRateValue(60000, 1001), 59.94);
    EXPECT_EQ(Edit::getFrameRateValue(30000, 1000), 30.0);
    EXPECT_EQ(Edit::getFrameRateValue(1, 1), 1.0);  // the key "abc" does not parse
}

TEST_F(FrameRateTest, APresetWithoutAPositiveScaleIsSkipped) {
    // A zero scale would divide by zero wherever the rate is used.
    presets("30=30/0\n30.0=30/-1\n30.00=60/2\n24=24/0\n");
    EXPECT_EQ(fromValue(30), "60/2");
    EXPECT_EQ(fromValue(24), "24/1");
    EXPECT_EQ(Edit::getFrameRateValue(24, 0), 0.0);
}

TEST_F(FrameRateTest, ShippedPresetsAreRead) {
    std::ifstream shipped(std::filesystem::path(VELMO_EDIT_TEST_DATA) / ".." / ".." / ".." / "data" / "system.conf",
                          std::ios::binary);
    ASSERT_TRUE(shipped);
    std::ofstream(root_ / "install" / "system.conf", std::ios::binary) << shipped.rdbuf();
    settings_ = std::make_unique<System::ServiceHolder<Setting::SettingService>>();
    EXPECT_EQ(fromValue(29.97), "30000/1001");
    EXPECT_EQ(Edit::getFrameRateValue(24000, 1001), 23.976);
}

}  // namespace
