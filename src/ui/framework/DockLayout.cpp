#include "ui/framework/DockLayout.h"

#include <algorithm>
#include <cmath>

#include "media/gpu/RenderTarget.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowClient.h"
#include "ui/framework/WindowMouseService.h"

namespace Window {

namespace {

using Cursor = WindowMouseService::MouseCursor;

struct Bounds {
    float left = 0, top = 0, right = 0, bottom = 0;
    bool empty() const { return !(right - left > 0) || !(bottom - top > 0); }
};

constexpr int32_t kLeft = 0, kTop = 1, kRight = 2, kBottom = 3;

// Left and right areas stack their panels from top to bottom, the others from left to right.
bool stacksVertically(int32_t area) { return area == WindowClient::Left || area == WindowClient::Right; }

Bounds boundsOf(const std::vector<WindowClient*>& panels) {
    Bounds b;
    bool first = true;
    for (const WindowClient* c : panels) {
        if (!c->shown()) continue;
        const auto& p = c->placement;
        if (first) {
            b = {p.left, p.top, p.right, p.bottom};
            first = false;
            continue;
        }
        b.left = std::min(b.left, p.left);
        b.top = std::min(b.top, p.top);
        b.right = std::max(b.right, p.right);
        b.bottom = std::max(b.bottom, p.bottom);
    }
    if (b.empty()) return {};
    return b;
}

bool sameEdge(float a, float b) { return std::fabs(a - b) < DockLayout::SameEdge; }

using PixelSpan = WindowClient::PixelSpan;

PixelSpan spanOf(const WindowClient& c, int32_t width, int32_t height) { return c.pixelSpan(width, height); }

// The edge index along a walk: towards the start the start edge (left or top), else the end edge.
int32_t walkEdge(bool horizontalSeparator, bool towardsStart) {
    if (horizontalSeparator) return towardsStart ? kLeft : kRight;
    return towardsStart ? kTop : kBottom;
}

}  // namespace

DockLayout::DockLayout() : WindowMouse(&layoutRect, 0) {}

DockLayout::~DockLayout() = default;

std::vector<WindowClient*> DockLayout::areaClients(int32_t area) const {
    std::vector<WindowClient*> out;
    for (WindowClient* c : clients)
        if (c->shown() && c->placement.area == area) out.push_back(c);
    return out;
}

std::vector<WindowClient*> DockLayout::sortedAreaClients(int32_t area) const {
    std::vector<WindowClient*> out = areaClients(area);
    const bool vertical = stacksVertically(area);
    std::stable_sort(out.begin(), out.end(), [vertical](const WindowClient* a, const WindowClient* b) {
        return vertical ? a->placement.top < b->placement.top : a->placement.left < b->placement.left;
    });
    return out;
}

void DockLayout::arrangeClients() {
    for (WindowClient* c : clients) {
        auto& p = c->placement;
        p.left = std::clamp(p.left, 0.0f, 0.999f);
        p.top = std::clamp(p.top, 0.0f, 0.999f);
        p.right = std::clamp(p.right, p.left, 1.0f);
        p.bottom = std::clamp(p.bottom, p.top, 1.0f);
    }
    Bounds remaining{0, 0, 1, 1};
    for (int32_t area = WindowClient::Left; area <= WindowClient::Centre; ++area) {
        std::vector<WindowClient*> panels = areaClients(area);
        if (panels.empty()) continue;
        Bounds own = boundsOf(panels);
        if (own.empty()) own = {0, 0, MinimumExtent, MinimumExtent};
        std::vector<WindowClient*> later;
        for (WindowClient* c : clients)
            if (c->shown() && c->placement.area > area) later.push_back(c);
        const Bounds rest = boundsOf(later);

        Bounds q = remaining;
        const bool horizontalShare = area == WindowClient::Left || area == WindowClient::Right;
        if (area != WindowClient::Centre) {
            const double ownExtent =
                std::max(horizontalShare ? double(own.right) - own.left : double(own.bottom) - own.top, 0.0);
            const double laterExtent =
                std::max(horizontalShare ? double(rest.right) - rest.left : double(rest.bottom) - rest.top, 0.0);
            const double room =
                horizontalShare ? double(remaining.right) - remaining.left : double(remaining.bottom) - remaining.top;
            const float share = float(laterExtent > 0 ? room * ownExtent / (laterExtent + ownExtent) : room);
            switch (area) {
            case WindowClient::Left:
                q.right = remaining.left + share;
                remaining.left = q.right;
                break;
            case WindowClient::Right:
                q.left = remaining.right - share;
                remaining.right = q.left;
                break;
            case WindowClient::Top:
                q.bottom = remaining.top + share;
                remaining.top = q.bottom;
                break;
            default:
                q.top = remaining.bottom - share;
                remaining.bottom = q.top;
                break;
            }
        }

        // Inside the area the panels keep their order and relative sizes.
        const bool vertical = stacksVertically(area);
        std::stable_sort(panels.begin(), panels.end(), [vertical](const WindowClient* a, const WindowClient* b) {
            const auto& pa = a->placement;
            const auto& pb = b->placement;
            return vertical ? pa.top + pa.bottom < pb.top + pb.bottom : pa.left + pa.right < pb.left + pb.right;
        });
        std::vector<double> weights;
        double total = 0;
        for (const WindowClient* c : panels) {
            const auto& p = c->placement;
            const double w =
                std::max(vertical ? double(p.bottom) - p.top : double(p.right) - p.left, double(MinimumExtent));
            weights.push_back(w);
            total += w;
        }
        const double start = vertical ? q.top : q.left;
        const double length = vertical ? double(q.bottom) - q.top : double(q.right) - q.left;
        double before = 0;
        for (size_t k = 0; k < panels.size(); ++k) {
            auto& p = panels[k]->placement;
            const float from = float(start + length * before / total);
            before += weights[k];
            const float to = float(start + length * before / total);
            if (vertical) {
                p.left = q.left;
                p.right = q.right;
                p.top = from;
                p.bottom = to;
            } else {
                p.top = q.top;
                p.bottom = q.bottom;
                p.left = from;
                p.right = to;
            }
        }
    }
}

void DockLayout::makeRoomForClient(WindowClient& client) {
    const int32_t area = client.placement.area;
    std::vector<WindowClient*> panels = areaClients(area);
    std::erase(panels, &client);
    auto& own = client.placement;
    if (panels.empty()) {
        const float sx = 1 - std::max(own.right - own.left, MinimumExtent);
        const float sy = 1 - std::max(own.bottom - own.top, MinimumExtent);
        for (WindowClient* c : clients) {
            if (!c->shown() || c == &client) continue;
            auto& p = c->placement;
            switch (area) {
            case WindowClient::Left:
                p.left = (p.left - 1) * sx + 1;
                p.right = (p.right - 1) * sx + 1;
                break;
            case WindowClient::Right:
                p.left = p.left * sx;
                p.right = p.right * sx;
                break;
            case WindowClient::Top:
                p.top = (p.top - 1) * sy + 1;
                p.bottom = (p.bottom - 1) * sy + 1;
                break;
            case WindowClient::Bottom:
                p.top = p.top * sy;
                p.bottom = p.bottom * sy;
                break;
            default: break;
            }
        }
        return;
    }
    const Bounds b = boundsOf(panels);
    const bool vertical = stacksVertically(area);
    if (vertical) {
        own.left = b.left;
        own.right = b.right;
    } else {
        own.top = b.top;
        own.bottom = b.bottom;
    }
    const float g = vertical ? b.top : b.left;
    const float h = vertical ? b.bottom : b.right;
    const float extent = std::max(h - g, MinimumExtent);
    const float ownExtent = std::max(vertical ? own.bottom - own.top : own.right - own.left, MinimumExtent);
    const float scale = (extent - ownExtent) / extent;
    if (scale <= 0) return;
    const float centre = vertical ? own.top + own.bottom : own.left + own.right;
    for (WindowClient* c : panels) {
        auto& p = c->placement;
        float& s = vertical ? p.top : p.left;
        float& e = vertical ? p.bottom : p.right;
        const float anchor = s + e < centre ? g : h;
        s = (s - anchor) * scale + anchor;
        e = (e - anchor) * scale + anchor;
    }
}

bool DockLayout::hitSeparator(int32_t x, int32_t y) {
    dragClients.clear();
    std::vector<std::pair<int32_t, WindowClient*>> near;
    for (WindowClient* c : clients) {
        int32_t distance = WindowClient::HiddenPosition;
        if (c->shown()) {
            const PixelSpan s = spanOf(*c, layoutWidth, layoutHeight);
            distance = std::max({s.x0 + 1 - x, x - std::max(s.xr, s.x0) - 1, s.y0 - y, y - std::max(s.yb, s.y0)});
        }
        near.emplace_back(distance, c);
    }
    std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (near.size() < 2 || near[0].first > WindowSeparatorSize || near[1].first > WindowSeparatorSize) return false;
    WindowClient* a = near[0].second;
    WindowClient* b = near[1].second;
    const auto& pa = a->placement;
    const auto& pb = b->placement;
    if (sameEdge(pa.right, pb.left)) {
        dragHorizontal = false;
        dragEdge = pa.right;
        dragClients = {a, b};
    } else if (sameEdge(pa.bottom, pb.top)) {
        dragHorizontal = true;
        dragEdge = pa.bottom;
        dragClients = {a, b};
    } else if (sameEdge(pb.right, pa.left)) {
        dragHorizontal = false;
        dragEdge = pb.right;
        dragClients = {b, a};
    } else if (sameEdge(pb.bottom, pa.top)) {
        dragHorizontal = true;
        dragEdge = pb.bottom;
        dragClients = {b, a};
    } else {
        return false;
    }
    return true;
}

bool DockLayout::checkSeparatorChain() {
    if (dragClients.size() < 2) return false;
    dragClients.resize(2);
    // Before the separator the panels move their bottom (right) edge, after it their top (left) edge.
    const int32_t beforeEdge = dragHorizontal ? kBottom : kRight;
    const int32_t afterEdge = dragHorizontal ? kTop : kLeft;
    dragClients[0]->edgeIndex = beforeEdge;
    dragClients[0]->oppositeIndex = afterEdge;
    dragClients[1]->edgeIndex = afterEdge;
    dragClients[1]->oppositeIndex = beforeEdge;
    return walkChain(true) && walkChain(false);
}

bool DockLayout::walkChain(bool towardsStart) {
    const int32_t beforeEdge = dragHorizontal ? kBottom : kRight;
    const int32_t afterEdge = dragHorizontal ? kTop : kLeft;
    const int32_t along = walkEdge(dragHorizontal, towardsStart);
    // The edge of a neighbour along the walk that meets the current panel.
    const int32_t meeting = along ^ 2;
    WindowClient* q = dragClients[0];
    WindowClient* p = dragClients[1];
    const auto continuation = [&](const WindowClient* current, int32_t separatorEdge, float d) -> WindowClient* {
        for (WindowClient* c : clients) {
            if (c == current) continue;
            if (sameEdge(c->placement.edge(separatorEdge), dragEdge) && sameEdge(c->placement.edge(meeting), d))
                return c;
        }
        return nullptr;
    };
    // Each step adds a panel; more steps than panels would mean a loop.
    for (size_t step = 0; step <= clients.size(); ++step) {
        const float d = q->placement.edge(along);
        const float e = p->placement.edge(along);
        if (d == e) {
            WindowClient* nq = continuation(q, beforeEdge, d);
            WindowClient* np = continuation(p, afterEdge, d);
            if (nq == nullptr || np == nullptr ||
                (nq->placement.area != q->placement.area && np->placement.area != p->placement.area))
                return true;
        }
        // Extend the side that reaches less far in the walk's direction.
        bool extendBefore;
        if (d == e)
            extendBefore = !towardsStart;
        else
            extendBefore = towardsStart ? d > e : d < e;
        WindowClient* current = extendBefore ? q : p;
        WindowClient* next =
            continuation(current, extendBefore ? beforeEdge : afterEdge, current->placement.edge(along));
        if (next == nullptr || std::find(dragClients.begin(), dragClients.end(), next) != dragClients.end())
            return false;
        next->edgeIndex = extendBefore ? beforeEdge : afterEdge;
        next->oppositeIndex = extendBefore ? afterEdge : beforeEdge;
        dragClients.push_back(next);
        (extendBefore ? q : p) = next;
    }
    return false;
}

void DockLayout::dragSeparator(int32_t dx, int32_t dy) {
    if (dragClients.size() < 2) return;
    const double extent = dragHorizontal ? layoutHeight : layoutWidth;
    if (extent <= 0) return;
    const double t = (dragHorizontal ? dy : dx) / extent;
    const double m = MinimumDragPixels / extent;
    double n = dragEdge + t;
    const bool towardsStart = t < 0;
    WindowClient* before = dragClients[0];
    WindowClient* after = dragClients[1];
    if (dragClients.size() == 2 && before->placement.area == after->placement.area) {
        bool allowed, passed;
        if (towardsStart) {
            const double f = before->placement.edge(before->oppositeIndex);
            allowed = n >= f + m;
            passed = n < f;
        } else {
            const double f = after->placement.edge(after->oppositeIndex);
            allowed = n <= f - m;
            passed = n > f;
        }
        if (!allowed) {
            service->currentCursor = dragHorizontal ? &Cursor::SystemCursor32652 : &Cursor::SystemCursor32653;
            if (passed) reorderPastPanel(towardsStart);
            return;
        }
        service->currentCursor = dragHorizontal ? &Cursor::SizeNS : &Cursor::SizeWE;
    }
    for (WindowClient* c : dragClients) {
        const double opposite = c->placement.edge(c->oppositeIndex);
        if (towardsStart && opposite < dragEdge) n = std::max(n, opposite + m);
        if (!towardsStart && opposite > dragEdge) n = std::min(n, opposite - m);
    }
    double g = n - dragEdge;
    if ((towardsStart && g > 0) || (!towardsStart && g < 0) || t == 0) g = 0;
    if (g == 0) return;
    for (WindowClient* c : dragClients) c->placement.edge(c->edgeIndex) = float(dragEdge + g);
    redrawLayout();
}

void DockLayout::reorderPastPanel(bool towardsStart) {
    WindowClient* before = dragClients[0];
    WindowClient* after = dragClients[1];
    const std::vector<WindowClient*> sorted = sortedAreaClients(before->placement.area);
    const auto found = std::find(sorted.begin(), sorted.end(), after);
    if (found == sorted.end()) return;
    const size_t i = size_t(found - sorted.begin());
    if (!towardsStart && i + 1 >= sorted.size()) return;
    for (WindowClient* c : dragClients) c->placement.edge(c->edgeIndex) = dragEdge;
    if (!towardsStart) before = sorted[i + 1];
    for (int32_t k = 0; k < 4; ++k) std::swap(before->placement.edge(k), after->placement.edge(k));

    // The press point moves to the separator the moved panel now stands at.
    int32_t px, py;
    const WindowClient& anchor = towardsStart ? *after : *before;
    const PixelSpan s = spanOf(anchor, layoutWidth, layoutHeight);
    const int32_t firstColumn = s.x0 + 1, lastColumn = s.xr;
    const int32_t firstRow = s.y0, lastRow = s.yb - 1;
    if (dragHorizontal) {
        px = (firstColumn + lastColumn + 1) / 2;
        py = towardsStart ? firstRow : lastRow + 1;
    } else {
        px = towardsStart ? firstColumn : lastColumn + 1;
        py = (firstRow + lastRow + 1) / 2;
    }
    if (!hitSeparator(px, py) || !checkSeparatorChain() || dragClients.size() != 2 ||
        dragClients[0]->placement.area != dragClients[1]->placement.area)
        dragClients.clear();

    WindowMouse* capture = service->captureTarget;
    if (!dragClients.empty()) {
        if (service->dragArmed && capture != nullptr) {
            service->dragOriginX = capture->rect->x + px;
            service->dragOriginY = capture->rect->y + py;
        }
    } else {
        if (capture != nullptr) {
            capture->dragging = false;
            if (service->dragArmed) {
                service->dragArmed = false;
                capture->procDragCancel();
            }
        }
        service->currentCursor = service->defaultCursor;
    }
    redrawLayout();
}

void DockLayout::redrawLayout() {
    Media::RenderTarget& target = layoutTarget();
    const Media::RenderTarget::DrawScope scope(target, 0, 0, target.width, target.height, true);
    arrangeClients();
    for (WindowClient* c : clients)
        if (c->shown()) c->updateRect(true);
    drawEmptyBackground();
    drawFooter();
    drawSeparators();
}

void DockLayout::drawSeparators() {
    Media::RenderTarget& target = layoutTarget();
    if (target.target == nullptr) return;
    StyleBrushList& brushes = layoutBrushes();
    const int32_t s = WindowSeparatorSize;
    const Media::RenderTarget::DrawScope scope(target, 0, 0, target.width, target.height, true);
    for (const WindowClient* c : clients) {
        if (!c->shown()) continue;
        const MouseRect& r = c->clientRect;
        if (r.x + r.w + s < layoutWidth)
            target.fillRectangle(r.x + r.w, r.y, r.x + r.w + s, r.y + r.h,
                                 brushes.get(StyleBrushList::WindowSeparator));
        if (r.y + r.h + s < layoutHeight)
            target.fillRectangle(r.x, r.y + r.h, r.x + r.w + s, r.y + r.h + s,
                                 brushes.get(StyleBrushList::WindowSeparator));
    }
    const bool dragging = service != nullptr && service->isDragging(this);
    for (WindowClient* c : clients) {
        if (!c->shown()) continue;
        const MouseRect& r = c->clientRect;
        const bool moving = dragging && std::find(dragClients.begin(), dragClients.end(), c) != dragClients.end();
        target.drawRectangle(r.x - 1, r.y - 1, r.x + r.w + 1, r.y + r.h + 1,
                             brushes.get(moving ? StyleBrushList::BorderFocus : StyleBrushList::WindowBorder), 1,
                             nullptr);
    }
}

void DockLayout::drawEmptyBackground() {
    for (const WindowClient* c : clients)
        if (c->shown()) return;
    Media::RenderTarget& target = layoutTarget();
    if (target.target == nullptr) return;
    StyleBrushList& brushes = layoutBrushes();
    const int32_t w = layoutWidth - WindowSeparatorSize;
    const int32_t h = layoutHeight - WindowSeparatorSize;
    const Media::RenderTarget::DrawScope scope(target, 0, 0, target.width, target.height, true);
    target.fillRectangle(1, 0, w + 1, h, brushes.get(StyleBrushList::Background));
    target.drawRectangle(0, -1, w + 2, h + 1, brushes.get(StyleBrushList::WindowBorder), 1, nullptr);
}

void DockLayout::procMouseMove(int32_t x, int32_t y) {
    if (hitSeparator(x, y)) service->currentCursor = dragHorizontal ? &Cursor::SizeNS : &Cursor::SizeWE;
}

void DockLayout::procLButtonDown(int32_t x, int32_t y) {
    if (!hitSeparator(x, y) || !checkSeparatorChain()) return;
    service->beginDrag(x, y, dragHorizontal ? &Cursor::SizeNS : &Cursor::SizeWE);
    drawSeparators();
}

void DockLayout::procMouseDrag(int32_t x, int32_t y) {
    if (!dragClients.empty()) dragSeparator(x, y);
}

void DockLayout::procCaptureLost() {
    if (dragClients.empty()) return;
    dragClients.clear();
    drawSeparators();
}

}  // namespace Window
