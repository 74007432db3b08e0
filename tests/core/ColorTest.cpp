#include "core/Color.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <stdexcept>

namespace {

void expectRgba(const Media::ColorRgba& c, float r, float g, float b, float a) {
    EXPECT_NEAR(c.r, r, 1e-6f);
    EXPECT_NEAR(c.g, g, 1e-6f);
    EXPECT_NEAR(c.b, b, 1e-6f);
    EXPECT_NEAR(c.a, a, 1e-6f);
}

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

TEST(Color, RgbToHsv) {
    struct Case {
        float r, g, b, h, s, v;
    } cases[] = {
        {1, 0, 0, 0, 1, 1},        {0, 0, 1, 2.0f / 3, 1, 1},
        {0, 0, 0, 0, 0, 0},        {0.4f, 0.4f, 0.4f, 0, 0, 0.4f},
        {0, 1, 0, 1.0f / 3, 1, 1}, {1, 0, 0.5f, 1 - 1.0f / 12, 1, 1},
    };
    for (const auto& c : cases) {
        const auto hsv = Media::rgbToHsv(c.r, c.g, c.b);
        EXPECT_NEAR(hsv.h, c.h, 1e-6f) << c.r << "," << c.g << "," << c.b;
        EXPECT_NEAR(hsv.s, c.s, 1e-6f);
        EXPECT_NEAR(hsv.v, c.v, 1e-6f);
    }
}

TEST(Color, HsvToRgbWrapsHueAndRoundTrips) {
    expectRgba(Media::hsvToRgb({1.25f, 1, 1}), 0.5f, 1, 0, 1);
    expectRgba(Media::hsvToRgb({0.25f, 1, 1}), 0.5f, 1, 0, 1);
    expectRgba(Media::hsvToRgb({-0.25f, 1, 1}), 0.5f, 0, 1, 1);
    for (float r = 0; r <= 1; r += 0.125f)
        for (float g = 0; g <= 1; g += 0.25f)
            for (float b = 0; b <= 1; b += 0.25f) {
                const auto back = Media::hsvToRgb(Media::rgbToHsv(r, g, b));
                expectRgba(back, r, g, b, 1);
            }
}

TEST(Color, BytesAndText) {
    const auto bytes = Media::rgbToBytes(0.5f, 1.2f, -0.1f);
    EXPECT_EQ(bytes.r, 128);
    EXPECT_EQ(bytes.g, 255);
    EXPECT_EQ(bytes.b, 0);
    EXPECT_EQ(Media::rgbToText({255, 8, 0}), L"ff0800");
}

TEST(Color, ParseRgbaForms) {
    struct Case {
        const char* text;
        float r, g, b, a;
    } cases[] = {
        {"  FF8000 ", 1, 128.0f / 255, 0, 1},
        {"ff800080", 1, 128.0f / 255, 0, 128.0f / 255},
        {"000000", 0, 0, 0, 1},
        {"aBcDeF", 0xab / 255.0f, 0xcd / 255.0f, 0xef / 255.0f, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Media::ColorRgba color;
        Media::parseColorRgba(c.text, color);
        expectRgba(color, c.r, c.g, c.b, c.a);
        std::wstring wide(c.text, c.text + std::strlen(c.text));
        Media::ColorRgba colorWide;
        Media::parseColorRgbaWide(wide, colorWide);
        expectRgba(colorWide, c.r, c.g, c.b, c.a);
    }
}

TEST(Color, ParseErrors) {
    struct Case {
        const char* text;
        const char* rgbaError;
        const char* rgbError;  // "" = no error, output unchanged
    } cases[] = {
        {"", "RGB argument is invalid.", "RGB argument is invalid."},
        {"   ", "RGB argument is invalid.", "RGB argument is invalid."},
        {"12345", "RGB argument is invalid.", ""},
        {"1234567", "RGB argument is invalid.", ""},
        {"zz0000", "invalid stoi argument", "invalid stoi argument"},
        {"00gg00", "invalid stoi argument", "invalid stoi argument"},
        {"\t123456", "RGB argument is invalid.", ""},  // a tab is no blank here
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Media::ColorRgba rgba{0.1f, 0.2f, 0.3f, 0.4f};
        EXPECT_EQ(errorOf([&] { Media::parseColorRgba(c.text, rgba); }), c.rgbaError);
        expectRgba(rgba, 0.1f, 0.2f, 0.3f, 0.4f);
        Media::ColorBytes bytes{1, 2, 3};
        EXPECT_EQ(errorOf([&] { Media::parseColorRgb(c.text, bytes); }), c.rgbError);
        EXPECT_EQ(bytes.r, 1);
        EXPECT_EQ(bytes.b, 3);
    }
    Media::ColorBytes bytes;
    Media::parseColorRgbWide(L" 0a0B0c", bytes);
    EXPECT_EQ(bytes.r, 10);
    EXPECT_EQ(bytes.g, 11);
    EXPECT_EQ(bytes.b, 12);
    EXPECT_EQ(errorOf([&] { Media::parseColorRgbWide(L"\uff10\uff10\uff10\uff10\uff10\uff10", bytes); }),
              "invalid stoi argument");
}

}  // namespace
