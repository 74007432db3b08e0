#include "ui/panels/preview/AnchorControl.h"

#include <algorithm>
#include <cstdlib>

#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/AnchorCommands.h"
#include "effect/EffectBase.h"
#include "platform/window/KeyMap.h"

namespace Anchor {

namespace {

constexpr int32_t kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28;

bool isObjectAnchor(const AnchorItem& item) {
    return item.id == AnchorItem::kCurrentValue && (item.flags & AnchorItem::kObjectAnchor) != 0;
}

}  // namespace

AnchorControl::AnchorControl() = default;

AnchorControl::~AnchorControl() = default;

std::shared_ptr<Edit::Scene> AnchorControl::currentScene() {
    Edit::EditService* edit = Edit::EditService::instance();
    return edit != nullptr ? edit->currentScene() : nullptr;
}

void AnchorControl::setImageRect(const ImageRect& rect, int32_t canvasWidth, int32_t canvasHeight) {
    imageRect_ = rect;
    canvasWidth_ = canvasWidth;
    canvasHeight_ = canvasHeight;
    layoutAnchors();
}

void AnchorControl::layoutAnchors() {
    snaps_.clear();
    pickList_.clear();
    const ImageRect& r = imageRect_;
    const float cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const float hw = std::max(1.0f, r.right - r.left) / 2, hh = std::max(1.0f, r.bottom - r.top) / 2;
    float stacked = 0;
    for (AnchorItem& item : shown.items) {
        if ((item.flags & AnchorItem::kPinned) != 0) {
            const AnchorPoint size = item.points.size() >= 2 ? item.points[1] : AnchorPoint{};
            const float right = std::min(r.right, static_cast<float>(canvasWidth_));
            const float top = std::max(r.top, 0.0f) + stacked;
            item.screenPoints = {{right - size.x, top}, {right, top + size.y}};
            item.centre = {right - size.x / 2, top + size.y / 2};
            item.radius = 0;
            stacked += size.y;
        } else {
            item.layout(cx, cy, hw, hh);
        }
        if (item.effect) pickList_.push_back(&item);
        if ((item.flags & AnchorItem::kSnapTargets) != 0)
            for (const AnchorPoint& p : item.snapPoints) snaps_.push_back({item.object, p.x, p.y});
    }
    snaps_.push_back({nullptr, 1, 1});
    snaps_.push_back({nullptr, -1, -1});
    if (hovered_ != nullptr || hoveredEffect_) {
        hovered_ = nullptr;
        for (AnchorItem* item : pickList_)
            if (item->effect == hoveredEffect_ && item->id == hoveredId_ && item->flags == hoveredFlags_) {
                hovered_ = item;
                break;
            }
        if (hovered_ == nullptr) hoveredEffect_.reset();
    }
}

AnchorItem* AnchorControl::hitTestAnchor(float x, float y) const {
    const std::shared_ptr<Edit::Scene> scene = currentScene();
    const Edit::Object* focus = scene ? scene->focusObject.get() : nullptr;
    AnchorItem* best = nullptr;
    float bestKey = 0;
    for (AnchorItem* item : pickList_) {
        if ((item->flags & AnchorItem::kNeverHit) != 0 || !item->hitTest(x, y)) continue;
        const float dx = item->centre.x - x, dy = item->centre.y - y;
        const float key = dx * dx + dy * dy + 2 * item->radius;
        if (best == nullptr) {
            best = item;
            bestKey = key;
            continue;
        }
        // Lower type, then the nearer centre, then the focus object's, then the lower id.
        bool better = false;
        if (item->type != best->type)
            better = item->type < best->type;
        else if (key != bestKey)
            better = key < bestKey;
        else if ((item->object.get() == focus) != (best->object.get() == focus))
            better = focus != nullptr && item->object.get() == focus;
        else
            better = item->id < best->id;
        if (better) {
            best = item;
            bestKey = key;
        }
    }
    return best;
}

AnchorItem* AnchorControl::findViewAnchor() const {
    for (AnchorItem* item : pickList_)
        if (item->type == AnchorItem::kView) return item;
    return nullptr;
}

bool AnchorControl::setHoverAnchor(AnchorItem* item) {
    if (item == hovered_) return false;
    hovered_ = item;
    if (item != nullptr) {
        hoveredEffect_ = item->effect;
        hoveredId_ = item->id;
        hoveredFlags_ = item->flags;
    } else {
        hoveredEffect_.reset();
    }
    return true;
}

void AnchorControl::clearHoverAnchor() { (void)setHoverAnchor(nullptr); }

bool AnchorControl::isSelected(const Edit::Object& object) const { return object.selected; }

bool AnchorControl::isSelectedObjectAnchor(const AnchorItem& item) const {
    return isObjectAnchor(item) && item.object && isSelected(*item.object);
}

AnchorItem* AnchorControl::findObjectAnchor(const AnchorItem& item) const {
    for (AnchorItem* other : pickList_)
        if (other->id == AnchorItem::kCurrentValue && other->object == item.object && other->effect == item.effect)
            return other;
    return nullptr;
}

int32_t AnchorControl::previewWidth() const {
    return static_cast<int32_t>(imageRect_.right - imageRect_.left);
}
int32_t AnchorControl::previewHeight() const {
    return static_cast<int32_t>(imageRect_.bottom - imageRect_.top);
}
int32_t AnchorControl::sceneWidth() const {
    const std::shared_ptr<Edit::Scene> scene = currentScene();
    return scene ? scene->videoWidth : 0;
}
int32_t AnchorControl::sceneHeight() const {
    const std::shared_ptr<Edit::Scene> scene = currentScene();
    return scene ? scene->videoHeight : 0;
}

bool AnchorControl::shiftHeld() const {
    return (Platform::window::getKeyState(Platform::window::kVkShift) & 0x8000) != 0;
}

bool AnchorControl::controlHeld() const {
    return (Platform::window::getKeyState(Platform::window::kVkControl) & 0x8000) != 0;
}

bool AnchorControl::hideOthersOnHover() {
    Edit::EditService* edit = Edit::EditService::instance();
    return edit != nullptr && edit->settings().mouseHoverHideOtherAnchor != 0;
}

AnchorControl::Look AnchorControl::anchorLook(const AnchorItem& item) const {
    if ((item.type == AnchorItem::kObjectPoint || item.type == AnchorItem::kPolygon) && item.id <= 99999999 &&
        item.object) {
        const Effect::AnchorCommands* commands = Effect::AnchorCommands::current();
        const int32_t shownKey = commands != nullptr ? commands->shownKey(*item.object) : -1;
        if (shownKey >= 0 && item.id == shownKey) return Look::In;
        return Look::Anchor;
    }
    if (item.type == AnchorItem::kLine) {
        if ((item.flags & AnchorItem::kAxisX) != 0) return Look::AxisX;
        if ((item.flags & AnchorItem::kAxisY) != 0) return Look::AxisY;
        if ((item.flags & AnchorItem::kAxisZ) != 0) return Look::AxisZ;
    }
    return Look::Anchor;
}

std::vector<const AnchorItem*> AnchorControl::drawOrder() const {
    std::vector<const AnchorItem*> order;
    order.reserve(shown.items.size());
    for (const AnchorItem& item : shown.items)
        if ((item.flags & AnchorItem::kNeverDrawn) == 0) order.push_back(&item);
    std::stable_sort(order.begin(), order.end(),
                     [](const AnchorItem* a, const AnchorItem* b) { return a->type > b->type; });
    return order;
}

AnchorEvent AnchorControl::makeEvent(const AnchorItem& item, int32_t kind, bool geometry) {
    AnchorEvent event;
    event.control = this;
    event.object = item.object;
    event.effect = item.effect;
    event.id = item.id;
    event.flags = item.flags;
    event.kind = kind;
    if (geometry) {
        event.matrix = item.matrix;
        event.position = item.position;
        event.startPosition = item.startPosition;
        event.vectorA = item.vectorA;
        event.vectorB = item.vectorB;
        event.referencePoint = item.referencePoint;
        event.axisFactor = item.type == AnchorItem::kLine ? item.vectorA.x : 1.0f;
    }
    event.label = item.label;
    event.tag = item.tag;
    event.viewport = {imageRect_.left, imageRect_.top, imageRect_.right - imageRect_.left,
                      imageRect_.bottom - imageRect_.top};
    return event;
}

void AnchorControl::sendEvent(AnchorEvent& event) const {
    if (event.effect) (void)event.effect->anchorEvent(event);
}

void AnchorControl::beginRecord(int32_t mode) {
    dragMode_ = mode;
    Edit::EditService* edit = Edit::EditService::instance();
    Undo::UndoService* undo = Undo::UndoService::get();
    if (edit == nullptr || undo == nullptr) return;
    // The record stays open over the whole gesture; its steps' scopes do not own it.
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    undo->openRecord(*scope);
    scope->undoOpen = false;
}

void AnchorControl::setFocus(const std::shared_ptr<Edit::Object>& object) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr || !object || !edit->currentScene() || edit->currentScene()->focusObject == object) return;
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    scope->scene->focusObject = object;
    scope->focusChanged = true;
}

void AnchorControl::leftPress(bool doubleClick, bool ctrl) {
    AnchorItem* candidate = hovered_;
    if (ctrl && candidate != nullptr) {
        if (candidate->id == AnchorItem::kCurrentValue) {
            pressAnchor(Button::Left, candidate, doubleClick, ctrl);
            return;
        }
        candidate = candidate->id > 99999999 ? nullptr : findObjectAnchor(*candidate);
    }
    if (candidate != nullptr) {
        pressAnchor(Button::Left, candidate, doubleClick, ctrl);
        return;
    }
    if (doubleClick)
        if (AnchorItem* view = findViewAnchor()) setFocus(view->object);
}

void AnchorControl::rightPress(bool doubleClick) { pressAnchor(Button::Right, findViewAnchor(), doubleClick, false); }

void AnchorControl::pressAnchor(Button button, AnchorItem* anchor, bool doubleClick, bool ctrl) {
    if (dragMode_ != 0) return;
    totalX_ = totalY_ = 0;
    if (anchor == nullptr) {
        armEmptyDrag();
        return;
    }
    Undo::UndoService* undo = Undo::UndoService::get();
    if (button == Button::Right) {
        AnchorEvent event = makeEvent(*anchor, AnchorEvent::kRightDrag, true);
        dragList_.push_back(std::move(event));
        showMoveCursor();
        beginRecord(2);
        if (undo != nullptr && anchor->effect) undo->addEffectUndoUpdate(anchor->effect);
        return;
    }
    if ((anchor->flags & AnchorItem::kClickOnly) != 0) {
        AnchorEvent event = makeEvent(*anchor, AnchorEvent::kClick, false);
        sendEvent(event);
        return;
    }
    Edit::EditService* edit = Edit::EditService::instance();
    const bool singleClickFocus = edit != nullptr && edit->settings().singleClickFocusAnchorObject != 0;
    if (!ctrl && singleClickFocus != doubleClick) setFocus(anchor->object);
    // The focus change may have brought a new list: the anchor is held through copies from here on.
    const AnchorItem pressed = *anchor;
    if (doubleClick) {
        AnchorEvent event = makeEvent(pressed, AnchorEvent::kDoubleClick, false);
        if (pressed.effect && pressed.effect->anchorEvent(event)) return;
    } else {
        if ((pressed.flags & AnchorItem::kObjectAnchor) != 0 && pressed.object && edit != nullptr &&
            edit->currentScene())
            edit->clickSelectObject(selectionControl(), pressed.object,
                                    edit->settings().clickAnchorObjectSelectGroup != 0);
        AnchorEvent event = makeEvent(pressed, AnchorEvent::kClick, false);
        sendEvent(event);
    }
    showMoveCursor();
    const std::shared_ptr<Edit::Scene> scene = currentScene();
    if (scene && !scene->selection.objects.empty() && isObjectAnchor(pressed)) {
        for (AnchorItem* item : pickList_)
            if (isSelectedObjectAnchor(*item)) dragList_.push_back(makeEvent(*item, AnchorEvent::kDrag, true));
        if (!dragList_.empty()) {
            beginRecord(1);
            if (undo != nullptr)
                for (const AnchorEvent& event : dragList_)
                    if (event.effect) undo->addEffectUndoUpdate(event.effect);
        }
        return;
    }
    dragList_.push_back(makeEvent(pressed, AnchorEvent::kDrag, true));
    beginRecord(1);
    if (undo == nullptr) return;
    if (pressed.effect) undo->addEffectUndoUpdate(pressed.effect);
    if ((pressed.flags & AnchorItem::kSourceSize) != 0 && pressed.effect &&
        pressed.effect->role == Effect::EffectBase::kOutput && pressed.object && !pressed.object->effects.empty())
        undo->addEffectUndoUpdate(pressed.object->effects.front());
}

void AnchorControl::dragAnchors(int32_t dx, int32_t dy, bool shift) {
    if (dragMode_ == 0 || dragList_.empty()) return;
    totalX_ = dx;
    totalY_ = dy;
    int32_t lockedX = dx, lockedY = dy;
    if (shift) {
        if (std::abs(dx) < std::abs(dy))
            lockedX = 0;
        else
            lockedY = 0;
    }
    Edit::EditService* edit = Edit::EditService::instance();
    std::unique_ptr<Edit::UpdateSection> scope;
    if (edit != nullptr) {
        scope = edit->openSection();
        scope->effectStateChanged = true;
        scope->colorSettingChanged = true;
        scope->objectChanged = true;
    }
    for (AnchorEvent& event : dragList_) {
        const bool raw = (event.flags & AnchorItem::kRawOffset) != 0;
        const int32_t nx = raw ? dx : lockedX, ny = raw ? dy : lockedY;
        event.stepX = nx - event.totalX;
        event.stepY = ny - event.totalY;
        event.totalX = nx;
        event.totalY = ny;
        event.kind = dragMode_ == 2 ? AnchorEvent::kRightDrag : AnchorEvent::kDrag;
        event.viewport = {imageRect_.left, imageRect_.top, imageRect_.right - imageRect_.left,
                          imageRect_.bottom - imageRect_.top};
        sendEvent(event);
    }
}

bool AnchorControl::dragKey(int32_t key, bool shift) {
    if (dragMode_ == 0) return false;
    int32_t x = totalX_, y = totalY_;
    switch (key) {
    case kKeyLeft: --x; break;
    case kKeyUp: --y; break;
    case kKeyRight: ++x; break;
    case kKeyDown: ++y; break;
    default: return false;
    }
    dragAnchors(x, y, shift);
    return true;
}

void AnchorControl::endDrag() {
    if (dragMode_ == 0) return;
    dragList_.clear();
    dragMode_ = 0;
    if (Undo::UndoService* undo = Undo::UndoService::get()) undo->commitRecord();
}

}  // namespace Anchor
