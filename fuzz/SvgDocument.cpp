// Feeds arbitrary bytes to the SVG loader (figure files and files named by
// users): loads them, reads and recolours every fill, and draws the result.
#include <cstdint>
#include <memory>

#include "platform/draw2d/Svg.h"

using namespace Platform::draw2d;

namespace {

void walk(SvgElement element, int depth) {
    if (depth > 256) return;
    SvgPaint paint;
    if (element.isAttributeSpecified("fill") && element.getFill(paint) == Platform::kOk &&
        paint.kind == SvgPaint::Kind::Color)
        (void)element.setFillColor({0, 0, 1, paint.color.a});
    for (SvgElement child = element.firstChild(); child; child = child.nextSibling()) walk(child, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<SvgDocument> document;
    if (SvgDocument::load(data, size, document) != Platform::kOk) return 0;
    walk(document->root(), 0);
    (void)document->root().setAttribute("width", 16);
    std::unique_ptr<Bitmap> image;
    (void)document->render(16, 16, image);
    return 0;
}
