#include "edit/ObjectSectionCommands.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "core/Log.h"
#include "edit/EditCommandTargets.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"

namespace Edit::EditCommand {
namespace {

using ObjectPtr = std::shared_ptr<Object>;

EditService& service() { return *EditService::instance(); }
Undo::UndoService* undo() { return Undo::UndoService::get(); }

// The scope of a midpoint change: what the settings panel shows of sections
// and values has to follow.
std::unique_ptr<UpdateSection> openSectionScope(const ObjectPtr& changed) {
    auto scope = service().openSection();
    scope->effectsChanged = true;
    scope->timeSettingChanged = true;
    scope->colorSettingChanged = true;
    scope->textSettingChanged = true;
    scope->objectChanged = true;
    scope->changedObject = changed;
    if (undo()) undo()->openRecord(*scope);
    return scope;
}

// The scope of a change of frames: layers, sections and the time panel.
std::unique_ptr<UpdateSection> openFrameScope() {
    auto scope = service().openSection();
    scope->objectChanged = true;
    scope->layersChanged = true;
    scope->sectionsChanged = true;
    scope->timeSettingChanged = true;
    if (undo()) undo()->openRecord(*scope);
    return scope;
}

// The midpoint goes in with the values the items have at the frame.
void addSectionKeepingValues(Scene& scene, const ObjectPtr& object, int32_t frame) {
    if (undo()) undo()->addObjectUndoSection(object);
    const EffectManager::ValueMap values = EffectManager::getItemValuesAt(scene, object, frame, false);
    object->addSection(frame, &values);
}

// The midpoint that lies exactly at the frame (1-based), or 0.
int32_t midpointAt(const Object& object, int32_t frame) {
    const int32_t n = object.getSectionIndex(frame);
    if (n > 0 && static_cast<int64_t>(object.start) + object.midpoints[static_cast<size_t>(n - 1)] == frame) return n;
    return 0;
}

// A control's range follows its frames when the scope closes.
void markMoved(Scene& scene, const Object& object, bool sort) {
    if (object.layer < 0 || object.layer >= scene.layerCount()) return;
    SceneLayer& slot = *scene.layers[static_cast<size_t>(object.layer)];
    if (sort) slot.needsSort = true;
    if (object.layerRangeControl) slot.rangesDirty = true;
}

}  // namespace

void createSection(const ObjectPtr& object, int32_t frame) {
    if (!object) return;
    System::Log::info("Edit::EditCommand::createSection", "create section layer=%d frame=%d", object->layer, frame);
    auto scope = openSectionScope(object);
    addSectionKeepingValues(*scope->scene, object, frame);
}

void createSection(int32_t frame) {
    const auto targets = getTargets(*service().currentScene());
    if (targets.empty()) return;
    System::Log::info("Edit::EditCommand::createSection", "create section frame=%d num=%d", frame,
                      static_cast<int32_t>(targets.size()));
    auto scope = openSectionScope(nullptr);
    for (const ObjectPtr& o : targets)
        if (o->canCreateSection(frame)) addSectionKeepingValues(*scope->scene, o, frame);
}

void deleteSection(const ObjectPtr& object, int32_t index) {
    if (!object) return;
    System::Log::info("Edit::EditCommand::deleteSection", "delete section layer=%d frame=%d section=%d", object->layer,
                      object->start, index);
    auto scope = openSectionScope(object);
    if (undo()) undo()->addObjectUndoSection(object);
    object->removeSection(index);
}

void deleteSection(int32_t frame) {
    const auto targets = getTargets(*service().currentScene());
    if (targets.empty()) return;
    System::Log::info("Edit::EditCommand::deleteSection", "delete section frame=%d num=%d", frame,
                      static_cast<int32_t>(targets.size()));
    auto scope = openSectionScope(nullptr);
    for (const ObjectPtr& o : targets) {
        const int32_t n = midpointAt(*o, frame);
        if (n == 0) continue;
        if (undo()) undo()->addObjectUndoSection(o);
        o->removeSection(n);
    }
}

void changeObjectLength() {
    const Scene& current = *service().currentScene();
    const std::vector<ObjectPtr> targets = getTargets(current);
    if (targets.empty()) return;
    const int64_t firstLength = static_cast<int64_t>(targets.front()->end) - targets.front()->start + 1;
    int32_t frames = static_cast<int32_t>(std::clamp<int64_t>(firstLength, 0, 2000000000));
    if (!EditService::dialogs().frameLengthDialog(L"オブジェクトの長さを変更", current.videoRate, current.videoScale,
                                                  frames))
        return;
    const int32_t length = std::max(frames, 1);
    System::Log::info("Edit::EditCommand::changeObjectLength", "change object length num=%d length=%d",
                      static_cast<int32_t>(targets.size()), length);
    auto scope = openFrameScope();
    Scene& scene = *scope->scene;
    for (const ObjectPtr& o : targets) {
        if (o->layer < 0) continue;
        if (undo()) undo()->addObjectUndoUpdate(o);
        scene.stretchObjectLength(*o, length);
        markMoved(scene, *o, false);
    }
}

void insertNullFrame(int32_t frame) {
    const Scene& current = *service().currentScene();
    int32_t n = 0;
    if (!EditService::dialogs().frameLengthDialog(L"空のフレームを挿入", current.videoRate, current.videoScale, n) ||
        n <= 0)
        return;
    System::Log::info("Edit::EditCommand::insertNullFrame", "insert null frame length=%d", n);
    auto scope = openFrameScope();
    Scene& scene = *scope->scene;
    const int32_t last = std::min(scene.lastUsedLayer, scene.layerCount() - 1);
    // Frames end at the largest int: a move may not carry any end past it.
    int64_t highestEnd = std::numeric_limits<int32_t>::min();
    for (int32_t l = 0; l <= last; ++l)
        for (const ObjectPtr& o : scene.layers[static_cast<size_t>(l)]->objects)
            if (o->start >= frame) highestEnd = std::max<int64_t>(highestEnd, o->end);
    const int64_t room = std::numeric_limits<int32_t>::max() - highestEnd;
    if (room < n) {
        if (room <= 0) return;
        System::Log::warn("Edit::EditCommand::insertNullFrame", "insert null frame limited to %d",
                          static_cast<int32_t>(room));
        n = static_cast<int32_t>(room);
    }
    for (int32_t l = 0; l <= last; ++l) {
        SceneLayer& slot = *scene.layers[static_cast<size_t>(l)];
        for (size_t i = slot.lowerBoundByEnd(frame); i < slot.objects.size(); ++i) {
            const ObjectPtr& o = slot.objects[i];
            if (o->start < frame) continue;
            if (undo()) undo()->addObjectUndoUpdate(o);
            o->start += n;
            o->end += n;
            markMoved(scene, *o, true);
        }
    }
}

void showMoveTimeDialog() {
    const Scene& current = *service().currentScene();
    int32_t frame = std::max(current.cursorFrame, 0);
    if (!EditService::dialogs().frameLengthDialog(L"指定時間に移動", current.videoRate, current.videoScale, frame))
        return;
    service().setCursorFrame(frame);
}

int32_t nextSectionFrame(const Object& o, int32_t c) {
    if (c < o.start) return o.start;
    const int32_t k = o.getSectionIndex(c);
    if (k < static_cast<int32_t>(o.midpoints.size())) return o.start + o.midpoints[static_cast<size_t>(k)];
    return o.end;
}

int32_t prevSectionFrame(const Object& o, int32_t c) {
    if (c > o.end) return o.end;
    const int32_t k = o.getSectionIndex(c);
    const int32_t s = o.sectionFirstFrame(k);
    if (s < c) return s;
    return k > 0 ? o.sectionFirstFrame(k - 1) : s;
}

void moveCursorToNextSection() {
    const Scene& scene = *service().currentScene();
    if (!scene.focusObject) return;
    const int32_t target = nextSectionFrame(*scene.focusObject, scene.cursorFrame);
    if (target != scene.cursorFrame) service().setCursorFrame(target);
}

void moveCursorToPrevSection() {
    const Scene& scene = *service().currentScene();
    if (!scene.focusObject) return;
    const int32_t target = prevSectionFrame(*scene.focusObject, scene.cursorFrame);
    if (target != scene.cursorFrame) service().setCursorFrame(target);
}

bool canCreateSectionAt(const Scene& scene, int32_t frame) {
    return scene.anyTargetObject([frame](const ObjectPtr& o) { return o->canCreateSection(frame); });
}

bool canDeleteSectionAt(const Scene& scene, int32_t frame) {
    return scene.anyTargetObject([frame](const ObjectPtr& o) {
        return o->sectionFirstFrame(o->getSectionIndex(frame)) == frame && o->hasMultiFrameSection(frame);
    });
}

}  // namespace Edit::EditCommand
