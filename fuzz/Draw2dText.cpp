// Feeds arbitrary bytes to the 2-D layer as text (user texts reach layouts
// from project files) and as path numbers: lays the text out with wrapping or
// ellipsis trimming, measures it and draws it, and draws a path of lines,
// curves and arcs built from the numbers.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "platform/draw2d/Draw2d.h"

using namespace Platform::draw2d;

namespace {

MemoryTarget& target() {
    static std::unique_ptr<MemoryTarget> t = [] {
        std::unique_ptr<MemoryTarget> out;
        (void)MemoryTarget::create(64, 32, out);
        return out;
    }();
    return *t;
}

float numberAt(const uint8_t* data, size_t size, size_t& at) {
    float v = 0;
    if (at + 4 <= size) std::memcpy(&v, data + at, 4);
    at += 4;
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t mode = data[0], width = data[1];
    SolidColorBrush brush({1, 1, 1, 1});
    target().beginDraw();
    if (mode & 1) {
        std::unique_ptr<TextFormat> format;
        (void)TextFormat::create("Noto Sans CJK JP", kWeightNormal, FontStyle::Normal, kStretchNormal, 4 + (mode >> 4),
                                 "ja-jp", format);
        format->setWordWrapping(mode & 2 ? WordWrapping::Wrap : WordWrapping::NoWrap);
        std::unique_ptr<TextLayout> layout;
        if (TextLayout::create(std::string(reinterpret_cast<const char*>(data + 2), size - 2), *format, width, 64,
                               layout) == Platform::kOk) {
            auto sign = format->createEllipsisTrimmingSign();
            if (mode & 4) (void)layout->setTrimming(TrimmingGranularity::Character, sign.get());
            TextMetrics m;
            (void)layout->metrics(m);
            target().drawTextLayout({0, 0}, *layout, brush);
        }
    } else {
        PathGeometry path;
        GeometrySink* sink = nullptr;
        (void)path.open(sink);
        size_t at = 2;
        sink->beginFigure({numberAt(data, size, at), numberAt(data, size, at)}, FigureBegin::Filled);
        while (at < size) {
            const uint8_t op = data[at++];
            const Point2F p{numberAt(data, size, at), numberAt(data, size, at)};
            switch (op % 4) {
            case 0: sink->addLine(p); break;
            case 1: sink->addQuadraticBezier(p, {numberAt(data, size, at), numberAt(data, size, at)}); break;
            case 2:
                sink->addArc({p,
                              {numberAt(data, size, at), numberAt(data, size, at)},
                              numberAt(data, size, at),
                              op & 4 ? SweepDirection::Clockwise : SweepDirection::CounterClockwise,
                              op & 8 ? ArcSize::Large : ArcSize::Small});
                break;
            default: sink->addBezier(p, p, {numberAt(data, size, at), numberAt(data, size, at)}); break;
            }
        }
        sink->endFigure(FigureEnd::Closed);
        (void)sink->close();
        target().fillGeometry(path, brush);
        target().drawGeometry(path, brush, float(width) / 16, nullptr);
    }
    (void)target().endDraw();
    return 0;
}
