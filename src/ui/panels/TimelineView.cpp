#include "ui/panels/TimelineView.h"

#include <algorithm>
#include <limits>

namespace Component {

namespace {

int32_t saturate(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// A zoom that is not positive would divide by zero: such a view counts as one pixel per frame.
int64_t safeZoom(int32_t zoom) { return zoom > 0 ? zoom : 10000; }

bool showOnBar(TimelineView::Bar& bar, int32_t range, int32_t position, int32_t span) {
    if (bar.range == range && bar.position == position && bar.span == span) return false;
    bar = {range, position, span};
    return true;
}

}  // namespace

int32_t TimelineView::frameAt(int32_t x) const { return saturate(int64_t(x) * 10000 / safeZoom(zoom) + displayFrame); }

int32_t TimelineView::pixelOf(int32_t f) const {
    return saturate(((int64_t(f) - displayFrame) * safeZoom(zoom) + 5000) / 10000);
}

int32_t TimelineView::layerAt(int32_t y) const {
    return saturate(int64_t(y) / std::max(1, metrics.layerHeight) + displayLayer);
}

int32_t TimelineView::lastVisibleFrame(int32_t width) const {
    return saturate(int64_t(displayFrame) + int64_t(width) * 10000 / safeZoom(zoom) + 1);
}

bool TimelineView::updateLayerScroll(int32_t panelHeight, int32_t lastLayer, int32_t layer, bool force) {
    const int32_t rowsHeight = panelHeight - metrics.gaugeHeight - metrics.scrollBar;
    const int32_t quotient = rowsHeight / std::max(1, metrics.layerHeight);
    visibleRows = quotient < 0 ? 0 : quotient + 1;
    const int32_t wanted = std::max(visibleRows, visibleRows / 2 + lastLayer);
    if (force || wanted > layerRange) layerRange = wanted;
    displayLayer = std::clamp(layer, 0, std::max(0, layerRange - visibleRows));
    // The span is what the bar shows; the top row and the extent decide a change.
    const bool changed = layerBar.position != displayLayer || layerBar.range != layerRange;
    if (changed) showOnBar(layerBar, layerRange, displayLayer, visibleRows);
    return changed;
}

bool TimelineView::updateFrameScroll(int32_t panelWidth, int32_t lastFrame, int32_t frame, bool force,
                                     bool& visibleChanged) {
    const int64_t across = int64_t(panelWidth) - metrics.headerWidth - metrics.scrollBar;
    const int32_t frames = across > 0 ? saturate(across * 10000 / safeZoom(zoom) + 1) : 0;
    const int32_t wanted = saturate(std::max<int64_t>(frames, int64_t(frames / 2) + lastFrame));
    if (force || wanted >= frameRange) frameRange = wanted;
    const int32_t left = std::clamp(frame, 0, std::max(0, frameRange - frames));
    visibleChanged = left != displayFrame || frames != visibleFrames;
    displayFrame = left;
    visibleFrames = frames;
    return showOnBar(frameBar, frameRange, displayFrame, visibleFrames);
}

TimelineView::FrameRange TimelineView::selectFrameRange(int32_t start, int32_t end, FrameRange current,
                                                        int32_t lastFrame) {
    if (start < 0 && end < 0) return {start, end};
    if (start < 0) return {current.start >= 0 && current.start <= end ? current.start : 0, end};
    if (end < 0) end = current.end >= 0 && current.end >= start ? current.end : lastFrame;
    return {std::min(start, end), std::max(start, end)};
}

}  // namespace Component
