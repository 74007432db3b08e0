#include "ui/settings/EffectTimeSettingControl.h"

#include <algorithm>
#include <cmath>

#include "core/Curve.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/draw2d/StrokeStyle.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/WindowMouseService.h"

namespace Component {

namespace {

namespace W = Platform::window;
namespace D2 = Platform::draw2d;
using Brushes = Window::StyleBrushList;
using Anchor = EffectTimeSettingControl::ControlAnchor;

constexpr double kGap = 1e-7;
constexpr int32_t kMargin = 10;

const std::vector<Anchor>& straightLine() {
    static const std::vector<Anchor> line{{0, 0, 0.25, 0.25}, {1, 1, 0.25, 0.25}};
    return line;
}

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

double bezier(double a, double b, double c, double d, double t) {
    const double u = 1 - t;
    return u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d;
}

// The shorter of the two handle limits keeps the other end in the square.
double limitOffset(double v, double d) {
    const double a = clamp01(v + d) - v;
    const double b = v - clamp01(v - d);
    return std::fabs(b) < std::fabs(a) ? a : b;
}

// A brush of the style at another opacity for the life of the object.
class Faded {
public:
    Faded(D2::Brush& brush, float opacity) : brush_(brush), saved_(brush.opacity) { brush.opacity = saved_ * opacity; }
    ~Faded() { brush_.opacity = saved_; }
    Faded(const Faded&) = delete;
    Faded& operator=(const Faded&) = delete;

private:
    D2::Brush& brush_;
    float saved_;
};

}  // namespace

std::vector<double> EffectTimeSettingControl::copyBuffer;

EffectTimeSettingControl::EffectTimeSettingControl(Window::ControlContainer& container, int32_t x, int32_t y,
                                                   int32_t w, int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h) {
    acceptContextMenu = true;
    D2::StrokeStyleDesc desc;
    desc.dashStyle = D2::DashStyle::Custom;
    const float dashes[2] = {3, 3};
    (void)D2::StrokeStyle::create(desc, dashes, 2, dashed_);
}

EffectTimeSettingControl::~EffectTimeSettingControl() {
    // A drag cut short still ends its record.
    if (recordOpen_)
        if (Undo::UndoService* undo = Undo::UndoService::get()) undo->commitRecord();
}

// ---- binding

bool EffectTimeSettingControl::setTarget(std::shared_ptr<Edit::Object> o, std::shared_ptr<Effect::EffectBase> e,
                                         Effect::EffectItemNumber* i) {
    if (o == object && e == effect && i == item) return false;
    object = std::move(o);
    effect = std::move(e);
    item = i;
    if (item != nullptr)
        loadControlAnchors(item->timeControl);
    else
        anchors.clear();
    dropStaleIndexes();
    invalidate();
    return true;
}

bool EffectTimeSettingControl::clearTarget() {
    if (item == nullptr) return false;
    if (recordOpen_) endDrag();
    object.reset();
    effect.reset();
    item = nullptr;
    hoverKind = None;
    hoverIndex = -1;
    dragKind = None;
    dragIndex = -1;
    anchors.clear();
    invalidate();
    return true;
}

void EffectTimeSettingControl::dropStaleIndexes() {
    const auto count = static_cast<int32_t>(anchors.size());
    if (hoverIndex >= count || (hoverIndex >= 0 && count < 2)) {
        hoverKind = None;
        hoverIndex = -1;
    }
    if (dragIndex >= count) {
        dragKind = None;
        dragIndex = -1;
    }
}

// ---- stored values

void EffectTimeSettingControl::loadControlAnchors(const std::vector<double>& values) {
    const size_t n = values.size();
    if (n < 4 || n % 4 != 0) {
        anchors = straightLine();
    } else if (n == 4) {
        anchors = {{0, 0, values[0], values[1]}, {1, 1, values[2], values[3]}};
    } else {
        anchors.clear();
        for (size_t i = 0; i < n; i += 4) anchors.push_back({values[i], values[i + 1], values[i + 2], values[i + 3]});
    }
    dropStaleIndexes();
}

std::vector<double> EffectTimeSettingControl::getControlValues() const {
    if (anchors.size() < 2) return {};
    if (anchors.size() == 2) {
        const Anchor& a = anchors[0];
        const Anchor& b = anchors[1];
        if (a.x == 0 && a.y == 0 && b.x == 1 && b.y == 1) {
            if (a.handleX == a.handleY && b.handleX == b.handleY) return {};
            return {a.handleX, a.handleY, b.handleX, b.handleY};
        }
    }
    std::vector<double> values;
    values.reserve(anchors.size() * 4);
    for (const Anchor& a : anchors) values.insert(values.end(), {a.x, a.y, a.handleX, a.handleY});
    return values;
}

void EffectTimeSettingControl::storeControlValues(const std::vector<double>& values) {
    if (item == nullptr) return;
    if (item->group != nullptr && !item->group->members.empty()) {
        for (Effect::EffectItemNumber* member : item->group->members) member->timeControl = values;
    } else {
        item->timeControl = values;
    }
}

// ---- edits

void EffectTimeSettingControl::editWithUndo(const std::function<void()>& change) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr || item == nullptr) return;
    const std::shared_ptr<Edit::Object> kept = object;
    const std::shared_ptr<Effect::EffectBase> keptEffect = effect;
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    scope->objectChanged = true;
    scope->changedObject = kept;
    if (Undo::UndoService* undo = Undo::UndoService::get()) {
        undo->openRecord(*scope);
        undo->addEffectUndoUpdate(keptEffect);
    }
    change();
    // The points under the pointer may be others now.
    hoverAtPointer();
    invalidate();
}

void EffectTimeSettingControl::setControlAnchors(const std::vector<double>& values) {
    if (item == nullptr) return;
    editWithUndo([&] {
        loadControlAnchors(values);
        storeControlValues(values);
    });
}

void EffectTimeSettingControl::addControlAnchor(double x, double y) {
    if (item == nullptr) return;
    const double start = std::clamp(x, kGap, 1 - kGap);
    y = clamp01(y);
    const auto taken = [this](double at) {
        return std::any_of(anchors.begin(), anchors.end(), [at](const Anchor& a) { return a.x == at; });
    };
    x = start;
    if (taken(x)) {
        // Step off an occupied position, right first, then left.
        double probe = start;
        while (probe > 0 && probe < 1 && taken(probe)) probe += kGap;
        if (probe > 0 && probe < 1) {
            x = probe;
        } else {
            probe = start;
            while (probe > 0 && probe < 1 && taken(probe)) probe -= kGap;
            if (probe > 0 && probe < 1) x = probe;
        }
    }
    const double handle = 1.0 / static_cast<double>(anchors.size() + 3);
    editWithUndo([&] {
        anchors.push_back({x, y, handle, 0});
        std::stable_sort(anchors.begin(), anchors.end(), [](const Anchor& a, const Anchor& b) { return a.x < b.x; });
        dropStaleIndexes();
        storeControlValues(getControlValues());
    });
}

void EffectTimeSettingControl::deleteControlAnchor(int32_t index) {
    if (item == nullptr || index <= 0 || index >= static_cast<int32_t>(anchors.size()) - 1) return;
    editWithUndo([&] {
        anchors.erase(anchors.begin() + index);
        dropStaleIndexes();
        storeControlValues(getControlValues());
    });
}

void EffectTimeSettingControl::copyCurve() {
    if (item != nullptr) copyBuffer = getControlValues();
}

void EffectTimeSettingControl::pasteCurve() {
    if (item != nullptr) setControlAnchors(copyBuffer);
}

// ---- the cursor

void EffectTimeSettingControl::updateCursorPosition(int32_t frame) {
    if (item == nullptr || !object) return;
    if (object->start <= frame && frame <= object->end) {
        cursorRatio = static_cast<float>(frame - object->start) / static_cast<float>(std::max(object->end - object->start, 1));
        invalidate();
    } else {
        const bool wasShown = cursorRatio >= 0;
        cursorRatio = -1;
        if (wasShown) invalidate();
    }
}

void EffectTimeSettingControl::seekFrame(int32_t mx) {
    if (item == nullptr || !object) return;
    const int32_t span = object->end - object->start;
    const float offset = static_cast<float>(span * (mx - kMargin)) / static_cast<float>(std::max(plotW, 1));
    const int32_t frame = std::clamp(object->start + static_cast<int32_t>(std::lround(offset)), object->start, object->end);
    if (Edit::EditService* edit = Edit::EditService::instance()) edit->setCursorFrame(frame);
}

// ---- hover and drags

bool EffectTimeSettingControl::updateHover(int32_t mx, int32_t my) {
    int32_t kind = None, index = -1;
    if (item != nullptr && anchors.size() >= 2) {
        int32_t best = 12;
        const auto n = static_cast<int32_t>(anchors.size());
        const auto consider = [&](float px, float py, int32_t k, int32_t i) {
            const float dx = px - static_cast<float>(mx), dy = py - static_cast<float>(my);
            const auto d = static_cast<int32_t>(std::sqrt(dx * dx + dy * dy));
            if (d < best) {
                best = d;
                kind = k;
                index = i;
            }
        };
        for (int32_t i = 0; i < n; ++i) {
            const Anchor& a = anchors[static_cast<size_t>(i)];
            const float X = plotX(a.x), Y = plotY(a.y);
            const float hx = static_cast<float>(plotW * a.handleX), hy = static_cast<float>(plotH * a.handleY);
            if (i != n - 1) consider(X + hx, Y - hy, ForwardHandle, i);
            if (i != 0) consider(X - hx, Y + hy, BackHandle, i);
            consider(X, Y, i == 0 || i == n - 1 ? EndPoint : MidPoint, i);
        }
    }
    const bool changed = kind != hoverKind || index != hoverIndex;
    hoverKind = kind;
    hoverIndex = index;
    return changed;
}

void EffectTimeSettingControl::clampAnchor(int32_t index) {
    const auto n = static_cast<int32_t>(anchors.size());
    Anchor& a = anchors[static_cast<size_t>(index)];
    if (index == 0) {
        a.x = 0;
    } else if (index == n - 1) {
        a.x = 1;
    } else {
        double low = anchors[static_cast<size_t>(index - 1)].x + kGap;
        double high = anchors[static_cast<size_t>(index + 1)].x - kGap;
        if (low > high) low = high = (low + high) / 2;
        a.x = std::clamp(a.x, low, high);
    }
    a.y = clamp01(a.y);
    if (a.handleX < 0) a.handleX = 0;
    if (index == 0) {
        a.handleX = clamp01(a.handleX);
        a.handleY = clamp01(a.y + a.handleY) - a.y;
    } else if (index == n - 1) {
        a.handleX = clamp01(a.handleX);
        a.handleY = a.y - clamp01(a.y - a.handleY);
    } else {
        a.handleX = limitOffset(a.x, a.handleX);
        a.handleY = limitOffset(a.y, a.handleY);
    }
}

void EffectTimeSettingControl::dragAnchor(int32_t dx, int32_t dy) {
    if (dragKind == None || hoverKind == None || anchors.size() < 2 || dragIndex < 0 ||
        dragIndex >= static_cast<int32_t>(anchors.size()))
        return;
    const bool shift = (W::getKeyState(W::kVkShift) & 0x8000) != 0;
    const double w = std::max(plotW, 1), h = std::max(plotH, 1);
    Anchor& a = anchors[static_cast<size_t>(dragIndex)];
    const Anchor& s = dragStart;
    switch (dragKind) {
    case EndPoint: a.y = s.y - dy / h; break;
    case MidPoint:
        if (shift) {
            if (std::abs(dx) < std::abs(dy))
                dx = 0;
            else
                dy = 0;
        }
        a.x = s.x + dx / w;
        a.y = s.y - dy / h;
        break;
    case BackHandle:
        a.handleX = s.handleX - dx / w;
        a.handleY = s.handleY + dy / h;
        break;
    case ForwardHandle:
        a.handleX = s.handleX + dx / w;
        a.handleY = s.handleY - dy / h;
        break;
    default: return;
    }
    if (shift && (dragKind == BackHandle || dragKind == ForwardHandle)) {
        if (std::fabs(static_cast<float>(h * a.handleY)) > std::fabs(static_cast<float>(w * a.handleX)))
            a.handleX = 0;
        else
            a.handleY = 0;
    }
    clampAnchor(dragIndex);
    storeDragStep();
}

void EffectTimeSettingControl::storeDragStep() {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr || item == nullptr) return;
    const std::shared_ptr<Edit::Object> kept = object;
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    scope->objectChanged = true;
    scope->changedObject = kept;
    storeControlValues(getControlValues());
    invalidate();
}

void EffectTimeSettingControl::endDrag() {
    if (dragKind == None && !recordOpen_) return;
    dragKind = None;
    dragIndex = -1;
    if (recordOpen_) {
        recordOpen_ = false;
        if (Undo::UndoService* undo = Undo::UndoService::get()) undo->commitRecord();
    }
    hoverAtPointer();
    invalidate();
}

void EffectTimeSettingControl::hoverAtPointer() {
    const Window::WindowMouseService* router = Window::WindowMouseService::get();
    if (router == nullptr || router->lastMovePos == 0xFFFFFFFFu) return;
    const auto packed = static_cast<intptr_t>(router->lastMovePos);
    procMouseMove(W::lowWordSigned(packed) - rect->x, W::highWordSigned(packed) - rect->y);
}

void EffectTimeSettingControl::procMouseMove(int32_t x, int32_t y) {
    if (updateHover(x, y)) invalidate();
}

void EffectTimeSettingControl::procMouseDrag(int32_t x, int32_t y) {
    if (dragKind != None)
        dragAnchor(x, y);
    else if (item != nullptr)
        seekFrame(x);
}

void EffectTimeSettingControl::procLButtonDown(int32_t x, int32_t y) {
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    if (hoverKind != None && dragKind == None && hoverIndex >= 0 &&
        hoverIndex < static_cast<int32_t>(anchors.size())) {
        dragKind = hoverKind;
        dragIndex = hoverIndex;
        dragStart = anchors[static_cast<size_t>(dragIndex)];
        if (router != nullptr) router->beginDrag(x, y, &Window::WindowMouseService::MouseCursor::SizeAll);
        Edit::EditService* edit = Edit::EditService::instance();
        Undo::UndoService* undo = Undo::UndoService::get();
        if (edit != nullptr && undo != nullptr && !recordOpen_) {
            recordOpen_ = true;
            // The record spans the drag; the steps' scopes do not own it.
            const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
            undo->openRecord(*scope);
            scope->undoOpen = false;
            undo->addEffectUndoUpdate(effect);
        }
        return;
    }
    if (hoverKind == None && item != nullptr) {
        if (router != nullptr) router->beginDrag(0, 0, nullptr);
        seekFrame(x);
    }
}

void EffectTimeSettingControl::procKeyRelease() { endDrag(); }

void EffectTimeSettingControl::procCaptureLost() { endDrag(); }

void EffectTimeSettingControl::procContextMenu(int32_t mx, int32_t my) {
    const bool hasTarget = item != nullptr;
    const int32_t hoveredKind = hoverKind, hovered = hoverIndex;
    const double x = static_cast<double>(mx - kMargin) / std::max(plotW, 1);
    const double y = 1 - static_cast<double>(my - kMargin) / std::max(plotH, 1);
    Window::PopupMenu menu;
    const auto grey = [&](const Window::BaseMenu::Item& entry, bool enabled) {
        if (!enabled) W::enableMenuItem(entry.menu, static_cast<uint32_t>(entry.id), false);
    };
    grey(menu.insertItem(L"制御点を追加", [this, x, y] { addControlAnchor(x, y); }), hasTarget);
    grey(menu.insertItem(L"制御点を削除", [this, hovered] { deleteControlAnchor(hovered); }),
         hasTarget && hoveredKind == MidPoint);
    menu.insertSeparator();
    grey(menu.insertItem(L"コピー", [this] { copyCurve(); }), hasTarget);
    grey(menu.insertItem(L"貼り付け", [this] { pasteCurve(); }), hasTarget);
    menu.insertSeparator();
    if (panel.panelMenu) panel.panelMenu(menu);
    menu.show();
}

// ---- drawing

void EffectTimeSettingControl::procMove() {
    plotW = fullRect.w - 2 * kMargin;
    plotH = fullRect.h - 2 * kMargin;
}

void EffectTimeSettingControl::drawControlAnchor(size_t index, int32_t kind) {
    const Anchor& a = anchors[index];
    const bool first = index == 0, last = index + 1 == anchors.size();
    const float X = plotX(a.x), Y = plotY(a.y);
    float hx = static_cast<float>(plotW * a.handleX), hy = static_cast<float>(-plotH * a.handleY);
    const float length = std::sqrt(hx * hx + hy * hy);
    const float keep = length < 4 ? 0.0f : 1 - 4 / length;
    const float ox = static_cast<float>(originX), oy = static_cast<float>(originY);
    D2::Brush& lineInk = brush(kind != None ? Brushes::AnchorSelect : Brushes::Anchor);
    const auto handle = [&](float ex, float ey, int32_t ink) {
        drawLineF(X + (ex - X) * keep, Y + (ey - Y) * keep, X, Y, lineInk, 2, nullptr);
        target->drawEllipse({{ox + ex, oy + ey}, 3.5f, 3.5f}, brush(ink), 2, nullptr);
    };
    target->fillEllipse({{ox + X, oy + Y}, 4, 4}, brush(Brushes::Anchor));
    if (!last) handle(X + hx, Y + hy, Brushes::AnchorIn);
    if (!first) handle(X - hx, Y - hy, Brushes::AnchorOut);
    if (kind == ForwardHandle) target->fillEllipse({{ox + X + hx, oy + Y + hy}, 4.5f, 4.5f}, brush(Brushes::AnchorIn));
    if (kind == BackHandle) target->fillEllipse({{ox + X - hx, oy + Y - hy}, 4.5f, 4.5f}, brush(Brushes::AnchorOut));
    if (kind == EndPoint || kind == MidPoint)
        target->fillEllipse({{ox + X, oy + Y}, 5, 5}, brush(Brushes::AnchorSelect));
}

void EffectTimeSettingControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const int32_t w = plotW, h = plotH;
    fillRectangle(0, 0, fullRect.w, fullRect.h, brush(Brushes::Background));
    if (w <= 0 || h <= 0) return;
    fillRectangle(kMargin, kMargin, w + kMargin + 1, h + kMargin + 1, brush(Brushes::Grouping));
    drawLineF(10.5f, 10.5f, w + 10.5f, 10.5f, brush(Brushes::Border), 1, nullptr);
    drawLineF(w + 10.5f, 10.5f, w + 10.5f, h + 10.5f, brush(Brushes::Border), 1, nullptr);
    drawLineF(w + 10.5f, h + 10.5f, 10.5f, h + 10.5f, brush(Brushes::Border), 1, nullptr);
    drawLineF(10.5f, h + 10.5f, 10.5f, 10.5f, brush(Brushes::Border), 1, nullptr);
    {
        const Faded half(brush(Brushes::Border), 0.5f);
        const float midY = static_cast<float>((h + 20) / 2) + 0.5f, midX = static_cast<float>((w + 20) / 2) + 0.5f;
        drawLineF(10, midY, static_cast<float>(w + 10), midY, brush(Brushes::Border), 1, dashed_.get());
        drawLineF(midX, 10, midX, static_cast<float>(h + 10), brush(Brushes::Border), 1, dashed_.get());
    }
    if (anchors.size() < 2) return;
    if (item != nullptr && object && panel.showSections && panel.showSections()) {
        const Faded half(brush(Brushes::Border), 0.5f);
        const double span = std::max(object->end - object->start, 1);
        for (const int32_t midpoint : object->midpoints) {
            const auto x = static_cast<float>(std::lround(midpoint / span * w + 10)) + 0.5f;
            drawLineF(x, 10, x, static_cast<float>(h + 10), brush(Brushes::Border), 1, nullptr);
        }
    }
    if (cursorRatio >= 0) {
        const auto x = static_cast<float>(std::lround(10 + w * cursorRatio)) + 0.5f;
        drawLineF(x, 0, x, static_cast<float>(fullRect.h), brush(Brushes::FrameCursor), 1, nullptr);
    }
    const int32_t steps = w / 3;
    float lastX = 0, lastY = 0;
    for (int32_t j = 0; steps > 0 && j <= steps; ++j) {
        const double t = static_cast<double>(j) / steps;
        size_t i = 0;
        while (i + 2 < anchors.size() && t > anchors[i + 1].x) ++i;
        const Anchor& a = anchors[i];
        const Anchor& b = anchors[i + 1];
        const double s = System::cubicBezierEasing(a.x, a.x + a.handleX, b.x - b.handleX, b.x, t, 1e-6);
        const double v = bezier(a.y, a.y + a.handleY, b.y - b.handleY, b.y, s);
        const float px = plotX(t), py = plotY(v);
        if (j > 0) drawLineF(lastX, lastY, px, py, brush(Brushes::Anchor), 1, nullptr);
        lastX = px;
        lastY = py;
    }
    for (size_t i = 0; i < anchors.size(); ++i) drawControlAnchor(i, None);
    if (hoverKind != None && hoverIndex >= 0 && hoverIndex < static_cast<int32_t>(anchors.size()))
        drawControlAnchor(static_cast<size_t>(hoverIndex), hoverKind);
}

}  // namespace Component
