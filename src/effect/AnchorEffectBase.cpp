#include "effect/AnchorEffectBase.h"

#include <algorithm>
#include <cmath>

#include "core/Color.h"
#include "core/Exception.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "effect/AnchorCommands.h"
#include "effect/AnchorEvent.h"
#include "effect/AnchorList.h"
#include "effect/EffectItemNumber.h"
#include "effect/ModelQueries.h"
#include "effect/MovementBase.h"
#include "effect/RenderContext.h"

namespace Effect {

using Anchor::AnchorItem;

void AnchorEffectBase::updateAnchor(Render::RenderContext& context, int32_t width, int32_t height) {
    if (locked || !context.scene || !context.object || !context.anchorList) return;
    const ModelQueries& model = modelQueries();
    if (model.isObjectLayerLocked(*context.scene, *context.object)) return;
    const auto& effects = model.objectEffects(*context.object);
    const auto found =
        std::find_if(effects.begin(), effects.end(), [this](const ChainEntry& e) { return e.get() == this; });
    if (found == effects.end()) return;
    if (role == kFilter && !isFocused(context)) return;
    // The anchors may visit other frames and move the view; the effects
    // after this one see the context as it was.
    struct Restore {
        Render::RenderContext& context;
        float x, y, z;
        int32_t frame;
        double preciseFrame;
        int32_t mediaFrameOffset;
        Render::SectionPosition section;
        ~Restore() {
            context.view.x = x, context.view.y = y, context.view.z = z;
            context.frame = frame;
            context.preciseFrame = preciseFrame;
            context.mediaFrameOffset = mediaFrameOffset;
            context.section = section;
        }
    } restore{context,       context.view.x,       context.view.y,           context.view.z,
              context.frame, context.preciseFrame, context.mediaFrameOffset, context.section};
    const ChainEntry entry = *found;
    drawAnchor(context, entry, width, height);
}

bool AnchorEffectBase::anchorEvent(const Anchor::AnchorEvent& event) {
    AnchorCommands* commands = AnchorCommands::current();
    const bool keyId = event.id >= 0 && event.id < AnchorItem::kCurrentValue;
    switch (event.kind) {
    case Anchor::AnchorEvent::kDrag: moveAnchor(event); return true;
    case Anchor::AnchorEvent::kClick:
        if (!commands) return true;
        if (event.id == AnchorItem::kClippingViewIcon) {
            const bool visible = !commands->visibleClippingObject();
            System::Log::info("Edit::EditCommand::setVisibleClippingObjectView",
                              "set visible clipping object enable=%d", visible ? 1 : 0);
            commands->setVisibleClippingObject(visible);
        } else if (keyId && event.object) {
            commands->showSection(*event.object, keyFrame(*event.object, event.id));
        }
        return true;
    case Anchor::AnchorEvent::kDoubleClick:
        if (commands && keyId && event.object && (event.flags & AnchorItem::kKeyAnchor))
            commands->setCursorFrame(keyFrame(*event.object, event.id));
        return true;
    default: return false;
    }
}

void AnchorEffectBase::drawAnchor(Render::RenderContext&, const ChainEntry&, int32_t, int32_t) {}

void AnchorEffectBase::moveAnchor(const Anchor::AnchorEvent&) {}

Anchor::AnchorItem& AnchorEffectBase::addAnchorItem(Anchor::AnchorList& list,
                                                    const std::shared_ptr<Edit::Object>& object,
                                                    const ChainEntry& entry, int32_t id, const Point& point,
                                                    const OutputView::Matrix& matrix, uint32_t flags) {
    if (role == kFilter) return list.addPoint(object, entry, id, point.x, point.y, point.z, matrix, flags);
    return list.addObjectPoint(object, entry, id, point.x, point.y, point.z, matrix, flags);
}

void AnchorEffectBase::setCurrentAnchor(Render::RenderContext&, const ChainEntry&, int32_t, uint32_t) {
    throw System::notImplementException("Effect::AnchorEffectBase::setCurrentAnchor");
}

void AnchorEffectBase::setSectionAnchor(Render::RenderContext&, const ChainEntry&, int32_t, uint32_t) {
    throw System::notImplementException("Effect::AnchorEffectBase::setSectionAnchor");
}

Platform::math::Float4 AnchorEffectBase::getAnchorPosition(Render::RenderContext&, double) { return {}; }

void AnchorEffectBase::transformAnchor(Anchor::AnchorList& list, const ChainEntry& entry, const Point& point,
                                       const OutputView::Matrix& matrix) {
    Media::ColorRgba colour;
    const bool coloured = role == kFilter && styleColour("Anchor", colour);
    list.addMarker(entry.get(), Platform::math::transform({point.x, point.y, point.z, 1}, matrix),
                   coloured ? &colour : nullptr);
}

void AnchorEffectBase::drawTrajectory(Render::RenderContext& context, const ChainEntry& entry) {
    if (!context.anchorList || !context.object || !positionMoves()) return;
    bool ignoresMidpoints = true;
    for (const EffectItemNumber* item : positionItems) {
        if (!item->movement->hasTrajectory()) return;
        ignoresMidpoints = ignoresMidpoints && (item->flags & EffectItemNumber::kIgnoreMidpoints);
    }
    const ModelQueries& model = modelQueries();
    const std::vector<int32_t>& midpoints = model.objectMidpoints(*context.object);
    const double start = model.objectStart(*context.object), end = model.objectEnd(*context.object);
    const int32_t sections = ignoresMidpoints ? 2 : static_cast<int32_t>(midpoints.size()) + 1;
    const int32_t n = 32 * sections;
    std::vector<Platform::math::Float4> positions;
    positions.reserve(static_cast<size_t>(n) + 1 + midpoints.size());
    std::vector<Platform::math::Float4> dots;
    size_t nextMidpoint = 0;
    const auto sampleFrame = [&](int32_t j) { return start + j * (end - start) / n; };
    for (int32_t j = 0; j <= n; ++j) {
        positions.push_back(getAnchorPosition(context, sampleFrame(j)));
        if (j % 4 == 0) dots.push_back(positions.back());
        if (j == n || nextMidpoint >= midpoints.size()) continue;
        const double midpointFrame = start + midpoints[nextMidpoint];
        if (sampleFrame(j + 1) >= midpointFrame) {
            positions.push_back(getAnchorPosition(context, midpointFrame));
            ++nextMidpoint;
        }
    }
    AnchorCommands* commands = AnchorCommands::current();
    if (!commands || commands->displayObjectMovePoint())
        for (const Platform::math::Float4& dot : dots) context.anchorList->addDot(entry.get(), dot);
    context.anchorList->addPolyline(entry.get(), positions.data(), positions.size(), nullptr);
}

bool AnchorEffectBase::positionMoves() const {
    return std::any_of(positionItems.begin(), positionItems.end(),
                       [](const EffectItemNumber* item) { return item->values.size() >= 2; });
}

bool AnchorEffectBase::keyValues(const Edit::Object& object, int32_t key, KeyValues& out) const {
    const int32_t sections = static_cast<int32_t>(modelQueries().objectMidpoints(object).size()) + 1;
    const auto keys = static_cast<size_t>(sections) + 1;
    const bool midKey = key >= 1 && key < sections;
    if (midKey)
        for (const EffectItemNumber* item : positionItems)
            if (item->values.size() >= 2 && item->values.size() != keys) return false;
    bool reached = false;
    for (size_t i = 0; i < positionItems.size() && i < out.size(); ++i) {
        const EffectItemNumber& item = *positionItems[i];
        int32_t index = 0;
        if (item.values.size() >= 2 && key > 0) {
            if (midKey) {
                if (item.values.size() != keys) return false;
                index = key;
            } else {
                index = static_cast<int32_t>(item.values.size()) - 1;
            }
        }
        out[i] = item.keyValue(index);
        reached = reached || item.movement->isSegmentInterpolated(item, key);
    }
    return reached;
}

int32_t AnchorEffectBase::keyFrame(const Edit::Object& object, int32_t key) {
    const ModelQueries& model = modelQueries();
    const std::vector<int32_t>& midpoints = model.objectMidpoints(object);
    if (key <= 0) return model.objectStart(object);
    if (key - 1 < static_cast<int32_t>(midpoints.size()))
        return model.objectStart(object) + midpoints[static_cast<size_t>(key - 1)];
    return model.objectEnd(object);
}

void AnchorEffectBase::moveTo(Render::RenderContext& context, double frame) {
    context.frame = static_cast<int32_t>(std::trunc(frame));
    context.preciseFrame = frame;
    context.mediaFrameOffset = 0;
    if (context.object) context.section = Render::SectionPosition::locate(*context.object, context.frame, frame);
}

bool AnchorEffectBase::isFocused(const Render::RenderContext& context) {
    return context.scene && context.object && modelQueries().isFocusObject(*context.scene, *context.object);
}

bool AnchorEffectBase::styleColour(const char* key, Media::ColorRgba& colour) {
    Setting::SettingService* settings = Setting::SettingService::get();
    if (!settings || !settings->color.document) return false;
    const System::IniFile::VALUE& value = settings->color.getValue(key);
    if (value.text.empty()) return false;
    colour = value.toRGBA();
    return true;
}

}  // namespace Effect
