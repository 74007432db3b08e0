#include "effect/MoveEffect.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "core/Color.h"
#include "effect/AnchorCommands.h"
#include "effect/AnchorEvent.h"
#include "effect/AnchorList.h"
#include "effect/ControlView.h"
#include "effect/EffectItemNumber.h"
#include "effect/ModelQueries.h"
#include "effect/MovementBase.h"
#include "effect/MovementLookup.h"
#include "effect/RenderContext.h"

namespace Effect {

using Anchor::AnchorItem;
using Platform::math::Float4;
using Platform::math::Matrix;

namespace {

const ControlView* controlOf(const std::shared_ptr<Edit::Object>& object) {
    if (!object) return nullptr;
    const auto& effects = modelQueries().objectEffects(*object);
    if (effects.empty() || !effects.front()) return nullptr;
    return dynamic_cast<const ControlView*>(effects.front().get());
}

ControlView* mutableControlOf(const std::shared_ptr<Edit::Object>& object) {
    if (!object) return nullptr;
    const auto& effects = modelQueries().objectEffects(*object);
    if (effects.empty() || !effects.front()) return nullptr;
    return dynamic_cast<ControlView*>(effects.front().get());
}

bool displayCenter() {
    const AnchorCommands* commands = AnchorCommands::current();
    return commands && commands->displayObjectCenterAnchor();
}

}  // namespace

bool MoveEffect::isFlatSpace(const OutputView& view) {
    if (view.cameraControl) return false;
    if (!view.groupControl) return true;
    const ControlView* group = controlOf(view.groupControl);
    return group && group->isPlainControl();
}

bool MoveEffect::reachesKeys(const EffectItemNumber* sizeItem) const {
    for (const EffectItemNumber* item : positionItems)
        if (!item->movement->sectionAnchors) return false;
    return !sizeItem || sizeItem->movement->sectionAnchors;
}

void MoveEffect::drawAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t width, int32_t height) {
    showCenter = context.customShape || displayCenter() ? 1 : 0;
    if (!context.anchorList || !context.object) return;
    const bool flat = isFlatSpace(context.getOutputView());
    const uint32_t objectFlags = flat ? kFlatObjectFlags : kObjectFlags;
    const uint32_t keyFlags = flat ? kFlatKeyFlags : kKeyFlags;
    if (modelQueries().isClippingObject(*context.object) && context.firstClipping) {
        const AnchorCommands* commands = AnchorCommands::current();
        const bool visible = !commands || commands->visibleClippingObject();
        context.anchorList->addIcon(context.object, entry, AnchorItem::kClippingViewIcon,
                                    commands ? commands->clippingIcon(visible) : nullptr);
    }
    setObjectAnchor(context, entry, width, height, objectFlags);
    if (!isFocused(context)) return;
    const AnchorCommands* commands = AnchorCommands::current();
    const int32_t shown = commands ? commands->shownKey(*context.object) : -1;
    setCurrentHandles(context, entry, shown >= 0 ? shown : context.section.index, width, height);
    if (!positionMoves()) return;
    const int32_t sections = static_cast<int32_t>(modelQueries().objectMidpoints(*context.object).size()) + 1;
    for (int32_t key = 0; key <= sections; ++key) setKeyAnchor(context, entry, key, width, height, keyFlags);
    drawTrajectory(context, entry);
}

void MoveEffect::setObjectAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t width, int32_t height,
                                 uint32_t flags) {
    OutputView view = context.getOutputView();
    if (context.customShape) view.centerX = view.centerY = view.centerZ = 0;
    const bool focused = isFocused(context);
    if (!focused || positionMoves()) flags |= AnchorItem::kNotDrawn;
    const Matrix m = view.getWorldViewMatrix();
    Anchor::AnchorList& list = *context.anchorList;
    AnchorItem& item =
        context.customShape
            ? list.addObjectPoint(context.object, entry, AnchorItem::kCurrentValue, 0, 0, 0, m, flags)
            : list.addRectangle(context.object, entry, AnchorItem::kCurrentValue, width, height, m, flags);
    item.setPosition(view.getGroupViewMatrix(), view.x, view.y, view.z);
    if (!focused) return;
    list.addMarker(entry.get(), Platform::math::transform({view.centerX, view.centerY, view.centerZ, 1}, m), nullptr);
    const ControlView* group = controlOf(view.groupControl);
    if (group != nullptr) {
        Media::ColorRgba colour;
        const bool coloured = styleColour("CenterGroup", colour);
        const Matrix groupMatrix = Platform::math::multiply(group->getControlWorldMatrix(), view.getViewMatrix());
        list.addMarker(entry.get(), Platform::math::transform({0, 0, 0, 1}, groupMatrix), coloured ? &colour : nullptr);
    }
    if (ControlView* camera = mutableControlOf(view.cameraControl)) {
        const Float4 position{view.x, view.y, view.z, 1};
        camera->setTargetMarker(group != nullptr ? Platform::math::transform(position, group->getControlWorldMatrix())
                                                 : position);
    }
}

void MoveEffect::setCurrentHandles(Render::RenderContext& context, const ChainEntry& entry, int32_t keyIndex,
                                   int32_t width, int32_t height) {
    KeyValues values{};
    if (!context.object || !keyValues(*context.object, keyIndex, values)) return;
    const Edit::Object& object = *context.object;
    const ModelQueries& model = modelQueries();
    OutputView view = context.getOutputView();
    if (positionMoves()) {
        moveTo(context, keyFrame(object, keyIndex));
        view = context.getOutputView();
        view.x = context.view.x + static_cast<float>(values[0]);
        view.y = context.view.y + static_cast<float>(values[1]);
        view.z = context.view.z + static_cast<float>(values[2]);
    }
    const int32_t start = model.objectStart(object), end = model.objectEnd(object);
    const int32_t id = context.frame == end            ? context.section.count
                       : context.section.offset == 0.0 ? context.section.index
                                                       : AnchorItem::kCurrentValue;
    const Matrix m = view.getWorldViewMatrix();
    const Matrix g = view.getGroupViewMatrix();
    Anchor::AnchorList& list = *context.anchorList;
    if (view.cameraControl) {
        static constexpr uint32_t kAxes[3] = {0x100004, 0x100008, 0x100010};
        const Float4 p{view.x, view.y, view.z, 1};
        const Float4 from = Platform::math::transform(p, g);
        for (int axis = 0; axis < 3; ++axis) {
            Float4 q = p;
            (axis == 0 ? q.x : axis == 1 ? q.y : q.z) -= 40;
            list.addLine(from, Platform::math::transform(q, g), context.object, entry, id, view.x, view.y, view.z, g,
                         kAxes[axis]);
        }
    }
    EffectItemNumber* sizeItem = getSizeItem(object);
    if (!sizeItem || showCenter) return;
    if (!reachesKeys(sizeItem) && context.frame != start && context.frame != end) return;
    if (!sizeItem->isEditableAt(context)) return;
    const float size = static_cast<float>(sizeItem->getValue(context) * 0.01);
    const Float4 offset =
        Platform::math::transform({view.centerX, view.centerY, view.centerZ, 0}, view.getRotationMatrix());
    const uint32_t flags = sizeItem != ownSizeItem ? static_cast<uint32_t>(AnchorItem::kSourceSize) : 0u;
    list.addRectangleHandles(context.object, entry, id, width, height, context.view.x, context.view.y, context.view.z,
                             {offset.x, offset.y, offset.z, size}, view.getObjectMatrix(), m, g, flags);
}

void MoveEffect::setKeyAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t keyIndex, int32_t width,
                              int32_t height, uint32_t flags) {
    KeyValues values{};
    if (!context.object || !keyValues(*context.object, keyIndex, values)) return;
    const Edit::Object& object = *context.object;
    const int32_t frame = keyFrame(object, keyIndex);
    moveTo(context, frame);
    OutputView view = context.getOutputView();
    view.x = context.view.x + static_cast<float>(values[0]);
    view.y = context.view.y + static_cast<float>(values[1]);
    view.z = context.view.z + static_cast<float>(values[2]);
    if (showCenter) view.centerX = view.centerY = view.centerZ = 0;
    const Matrix m = view.getWorldViewMatrix();
    const ModelQueries& model = modelQueries();
    const EffectItemNumber* sizeItem = getSizeItem(object);
    const bool outline = !showCenter && ((sizeItem && reachesKeys(sizeItem)) || frame == model.objectStart(object) ||
                                         frame == model.objectEnd(object));
    Anchor::AnchorList& list = *context.anchorList;
    AnchorItem& item = outline ? list.addRectangle(context.object, entry, keyIndex, width, height, m, flags)
                               : list.addObjectPoint(context.object, entry, keyIndex, 0, 0, 0, m, flags);
    item.setPosition(view.getGroupViewMatrix(), view.x, view.y, view.z);
}

EffectItemNumber* MoveEffect::getSizeItem(const Edit::Object& object) const {
    if (role == kOutput) {
        const auto& effects = modelQueries().objectEffects(object);
        if (!effects.empty() && effects.front() && effects.front()->role == kInput) {
            auto* size = dynamic_cast<EffectItemNumber*>(effects.front()->findItemByName(L"サイズ"));
            if (size && std::wcscmp(size->movement->name, getNoMove().name) == 0) return size;
        }
    }
    return ownSizeItem;
}

Platform::math::Float4 MoveEffect::getAnchorPosition(Render::RenderContext& context, double frame) {
    moveTo(context, frame);
    OutputView view = context.getOutputView();
    if (showCenter) view.centerX = view.centerY = view.centerZ = 0;
    return Platform::math::transform({0, 0, 0, 1}, view.getWorldViewMatrix());
}

void MoveEffect::moveAnchor(const Anchor::AnchorEvent& event) {
    Float4 moved = Anchor::getMovedPosition(event.viewport, event.position, event.matrix,
                                            static_cast<float>(event.stepX), static_cast<float>(event.stepY));
    const Float4 before = event.position;
    event.position = {moved.x, moved.y, moved.z, before.w};
    if (event.flags & AnchorItem::kSizeHandle) {
        resizeByHandle(event);
        return;
    }
    double dx = moved.x - before.x, dy = moved.y - before.y;
    const double dz = moved.z - before.z;
    const EffectItemNumber::AnchorAddress address{event.object.get(), event.id};
    if (event.flags & AnchorItem::kAxisHandle) {
        const double a = event.axisFactor;
        if (event.flags & AnchorItem::kAxisX && !positionItems.empty())
            (void)positionItems[0]->moveAnchorValue(address, a * dx);
        if (event.flags & AnchorItem::kAxisY && positionItems.size() > 1)
            (void)positionItems[1]->moveAnchorValue(address, a * dy);
        if (event.flags & AnchorItem::kAxisZ && positionItems.size() > 2)
            (void)positionItems[2]->moveAnchorValue(address, a * dz);
        return;
    }
    const AnchorCommands* commands = AnchorCommands::current();
    if ((!commands || commands->anchorObjectMoveSnap()) && (event.flags & AnchorItem::kSnapping)) {
        snapAnchorPosition(event, moved);
        event.position.x = moved.x;
        event.position.y = moved.y;
        dx = moved.x - before.x;
        dy = moved.y - before.y;
    }
    const double delta[3] = {dx, dy, dz};
    for (size_t i = 0; i < positionItems.size() && i < 3; ++i)
        (void)positionItems[i]->moveAnchorValue(address, delta[i]);
}

void MoveEffect::snapAnchorPosition(const Anchor::AnchorEvent& event, Float4& point) const {
    if (!event.control) return;
    const Anchor::AnchorHost& host = *event.control;
    AnchorItem like;
    like.object = event.object;
    like.effect = event.effect;
    like.id = event.id;
    like.flags = event.flags;
    const AnchorItem* anchor = host.currentList().find(like);
    if (!anchor) return;
    const std::vector<Anchor::AnchorHost::SnapTarget>& targets = host.snapTargets();
    const auto selected = [&host](const Anchor::AnchorHost::SnapTarget& t) {
        return t.object && host.isSelected(*t.object);
    };
    std::vector<Anchor::AnchorPoint> sources;
    if (anchor->flags & AnchorItem::kSnapTargets) {
        for (const Anchor::AnchorHost::SnapTarget& t : targets)
            if (selected(t)) sources.push_back({t.x, t.y});
    } else {
        sources = anchor->points;
    }
    const float gx = static_cast<float>(host.sceneWidth()) / 2, gy = -static_cast<float>(host.sceneHeight()) / 2;
    if (gx == 0 || gy == 0) return;
    const float tx = kSnapPixels / (static_cast<float>(std::max(1, host.previewWidth())) / 2);
    const float ty = kSnapPixels / (static_cast<float>(std::max(1, host.previewHeight())) / 2);
    const Float4& c = event.startPosition;
    float lx = 0, ly = 0;
    for (const Anchor::AnchorPoint& s : sources)
        for (const Anchor::AnchorHost::SnapTarget& q : targets) {
            if (q.object && (q.object == event.object || host.isSelected(*q.object))) continue;
            const float ex = q.x - (s.x + (point.x - c.x) / gx);
            const float ey = q.y - (s.y + (point.y - c.y) / gy);
            if (std::fabs(ex) < tx) lx = ex;
            if (std::fabs(ey) < ty) ly = ey;
        }
    point.x += gx * lx;
    point.y += gy * ly;
}

void MoveEffect::resizeByHandle(const Anchor::AnchorEvent& event) {
    using Platform::math::Float3;
    const Float3 a{event.vectorA.x, event.vectorA.y, event.vectorA.z};
    const Float3 b = Platform::math::subtract({event.startPosition.x, event.startPosition.y, event.startPosition.z}, a);
    const Float3 c = Platform::math::subtract({event.position.x, event.position.y, event.position.z}, a);
    const float lc = Platform::math::dot(c, b) > 0 ? std::max(Platform::math::length(c), kMinimumHandleLength)
                                                   : kMinimumHandleLength;
    const float lb = std::max(Platform::math::length(b), kMinimumHandleLength);
    const float e = lc / lb;
    const Float3 o{event.vectorB.x, event.vectorB.y, event.vectorB.z};
    const Float3 centre =
        Platform::math::add(Platform::math::add(a, Platform::math::scale(b, e / 2)), Platform::math::scale(o, e));
    const EffectItemNumber::AnchorAddress address{event.object.get(), event.id};
    if (event.object)
        if (EffectItemNumber* size = getSizeItem(*event.object))
            (void)size->setAnchorValue(address, e * event.vectorB.w * 100);
    const float v[3] = {event.referencePoint.x, event.referencePoint.y, event.referencePoint.z};
    const float p[3] = {centre.x, centre.y, centre.z};
    for (size_t i = 0; i < positionItems.size() && i < 3; ++i)
        (void)positionItems[i]->setAnchorValue(address, p[i] - v[i]);
}

}  // namespace Effect
