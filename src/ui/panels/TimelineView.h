#pragma once
#include <cstdint>

// The view state the timeline's controls share and its integer arithmetic:
// which layer is the top row, which frame is at the left edge, the zoom in
// ten-thousandths of a pixel per frame, how many rows and frames fit, and the
// scroll extents. Products are taken in 64 bits, so that a frame far into a
// long scene at a high zoom does not wrap; divisions truncate towards zero.
namespace Component {

class TimelineView {
public:
    // Sizes of the panel's strips in pixels.
    struct Metrics {
        int32_t layerHeight = 28;
        int32_t headerWidth = 96;
        int32_t gaugeHeight = 32;
        int32_t scrollBar = 20;
    };
    // What a scroll bar shows: its range 0..range and its visible span from position.
    struct Bar {
        int32_t range = -1;
        int32_t position = -1;
        int32_t span = -1;
    };
    struct FrameRange {
        int32_t start;
        int32_t end;
        bool operator==(const FrameRange&) const = default;
    };

    // Frame under pixel x of the object area.
    int32_t frameAt(int32_t x) const;
    // Left pixel of frame f; its right edge is pixelOf(f + 1).
    int32_t pixelOf(int32_t f) const;
    // Layer under pixel y of the rows.
    int32_t layerAt(int32_t y) const;
    // Last frame that a row of the given width shows.
    int32_t lastVisibleFrame(int32_t width) const;

    // The vertical extent for a panel height and the highest used layer; the
    // top row becomes layer, held within the extent. Without force the
    // extent only grows. True when the bar has to show something else.
    bool updateLayerScroll(int32_t panelHeight, int32_t lastLayer, int32_t layer, bool force);
    // The same across for a panel width and the largest end frame;
    // visibleChanged tells whether the left frame or the frame count moved.
    bool updateFrameScroll(int32_t panelWidth, int32_t lastFrame, int32_t frame, bool force, bool& visibleChanged);

    // The frame-range selection asked for with (start, end), a negative end
    // meaning "keep or extend": from the current selection and the last frame.
    static FrameRange selectFrameRange(int32_t start, int32_t end, FrameRange current, int32_t lastFrame);

    Metrics metrics;
    int32_t zoom = 10000;
    int32_t displayFrame = 0;
    int32_t displayLayer = 0;
    int32_t visibleRows = 0;
    int32_t visibleFrames = 0;
    int32_t layerRange = 0;
    int32_t frameRange = 0;
    Bar layerBar;
    Bar frameBar;
};

}  // namespace Component
