// The layer's SVG documents: colour forms of fills, editing fills given as
// attributes or style declarations, and what loading refuses.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/draw2d/Svg.h"

namespace {
namespace D2 = Platform::draw2d;

TEST(SvgColor, TheFormsOfAFillColour) {
    struct Case {
        const char* text;
        bool ok;
        D2::ColorF color;
    };
    const Case cases[] = {
        {"#ff8000", true, {1, 128 / 255.f, 0, 1}},
        {"#F80", true, {1, 136 / 255.f, 0, 1}},
        {"#ff000080", true, {1, 0, 0, 128 / 255.f}},
        {"#f008", true, {1, 0, 0, 136 / 255.f}},
        {" rgb(255, 0, 0) ", true, {1, 0, 0, 1}},
        {"rgba(0,255,0,0.25)", true, {0, 1, 0, 0.25f}},
        {"RGB(100%,50%,0%)", true, {1, 0.5f, 0, 1}},
        {"rgb(300,-5,0)", true, {1, 0, 0, 1}},
        {"Red", true, {1, 0, 0, 1}},
        {"green", true, {0, 128 / 255.f, 0, 1}},
        {"#ff00", true, {1, 1, 0, 0}},
        {"#ff00f", false, {}},
        {"#gg0000", false, {}},
        {"rgb(1,2)", false, {}},
        {"rgb(1,2,3", false, {}},
        {"rgb(a,2,3)", false, {}},
        {"none", false, {}},
        {"url(#g)", false, {}},
        {"currentColor", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        D2::ColorF out;
        ASSERT_EQ(c.ok, D2::parseSvgColor(c.text, out)) << c.text;
        if (!c.ok) continue;
        EXPECT_NEAR(c.color.r, out.r, 1e-3) << c.text;
        EXPECT_NEAR(c.color.g, out.g, 1e-3) << c.text;
        EXPECT_NEAR(c.color.b, out.b, 1e-3) << c.text;
        EXPECT_NEAR(c.color.a, out.a, 1e-3) << c.text;
    }
}

std::unique_ptr<D2::SvgDocument> load(const std::string& text) {
    std::unique_ptr<D2::SvgDocument> doc;
    EXPECT_EQ(Platform::kOk, D2::SvgDocument::load(text.data(), text.size(), doc)) << text;
    return doc;
}

TEST(SvgDocument, FillsAreEditedWhereTheyAreGiven) {
    auto doc = load("<svg><!-- c --><rect style='stroke:red; fill : #000'/>text<g fill='blue'><rect/></g></svg>");
    ASSERT_NE(nullptr, doc);
    D2::SvgElement rect = doc->root().firstChild();
    ASSERT_TRUE(rect) << "comments and text are skipped";
    D2::SvgElement group = rect.nextSibling();
    ASSERT_TRUE(group);
    EXPECT_FALSE(group.nextSibling());
    EXPECT_TRUE(rect.isAttributeSpecified("fill"));
    EXPECT_TRUE(rect.isAttributeSpecified("stroke"));
    EXPECT_FALSE(group.firstChild().isAttributeSpecified("fill"));
    D2::SvgPaint paint;
    EXPECT_EQ(Platform::kInvalidArg, group.firstChild().getFill(paint));

    ASSERT_EQ(Platform::kOk, rect.setFillColor({0, 1, 0, 0.5f}));
    ASSERT_EQ(Platform::kOk, rect.getFill(paint));
    EXPECT_EQ(D2::SvgPaint::Kind::Color, paint.kind);
    EXPECT_NEAR(1, paint.color.g, 1e-3);
    EXPECT_NEAR(0.5, paint.color.a, 1e-3);
    EXPECT_TRUE(rect.isAttributeSpecified("stroke")) << "the other declarations stay";
    ASSERT_EQ(Platform::kOk, group.setFillColor({1, 0, 0, 1}));
    ASSERT_EQ(Platform::kOk, group.getFill(paint));
    EXPECT_NEAR(1, paint.color.r, 1e-3);
}

TEST(SvgDocument, LoadingRefusesWhatIsNoSvgDocument) {
    struct Case {
        std::string text;
        Platform::Result result;
    };
    const Case cases[] = {
        {"", Platform::kFail},
        {"<svg", Platform::kFail},
        {"<html/>", Platform::kFail},
        {"not xml", Platform::kFail},
        {std::string("<svg>\0</svg>", 12), Platform::kFail},
        {"<?xml version='1.0'?><svg xmlns='http://www.w3.org/2000/svg'/>", Platform::kOk},
    };
    for (const Case& c : cases) {
        std::unique_ptr<D2::SvgDocument> doc;
        EXPECT_EQ(c.result, D2::SvgDocument::load(c.text.data(), c.text.size(), doc)) << c.text;
        EXPECT_EQ(c.result == Platform::kOk, doc != nullptr);
    }
    std::unique_ptr<D2::SvgDocument> doc;
    EXPECT_EQ(Platform::kFileNotFound, D2::SvgDocument::loadFile("/nonexistent/x.svg", doc));
}

TEST(SvgDocument, EntitiesFromOtherFilesAreNotRead) {
    // An external entity is not substituted on loading; the renderer refuses
    // the reference rather than read the file.
    auto doc = load("<!DOCTYPE svg [<!ENTITY e SYSTEM 'file:///etc/hostname'>]>"
                    "<svg xmlns='http://www.w3.org/2000/svg' width='4' height='4'><text>&e;</text>"
                    "<rect width='4' height='4' fill='#fff'/></svg>");
    ASSERT_NE(nullptr, doc);
    std::unique_ptr<D2::Bitmap> image;
    EXPECT_EQ(Platform::kFail, doc->render(4, 4, image));
    EXPECT_EQ(nullptr, image);
    EXPECT_EQ(Platform::kInvalidArg, doc->render(0, 4, image));
}

}  // namespace
