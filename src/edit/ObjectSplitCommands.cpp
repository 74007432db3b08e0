#include "edit/ObjectSplitCommands.h"

#include <unordered_map>
#include <utility>
#include <vector>

#include "core/Clipboard.h"
#include "core/Log.h"
#include "edit/EditCommandTargets.h"
#include "edit/EditService.h"
#include "edit/Group.h"
#include "edit/Object.h"
#include "edit/ObjectClipboard.h"
#include "edit/ObjectCreateCommands.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"

namespace Edit::EditCommand {
namespace {

using ObjectPtr = std::shared_ptr<Object>;

PointerPosition gPointer;

EditService& service() { return *EditService::instance(); }
Undo::UndoService* undo() { return Undo::UndoService::get(); }

// One new group for each group met, in the order met.
class NewGroups {
public:
    const std::shared_ptr<Group>& of(const Group* source) {
        auto& group = groups_[source];
        if (!group) group = std::make_shared<Group>();
        return group;
    }

private:
    std::unordered_map<const Group*, std::shared_ptr<Group>> groups_;
};

bool holds(const Object& o, int64_t frame) { return o.start < frame && frame <= o.end; }

// Cuts the object at the frame into two new objects on its layer; they get
// the split event. When the split fails both are gone again.
bool cutInTwo(Scene& scene, UpdateSection& scope, const ObjectPtr& object, int32_t frame, ObjectPtr& first,
              ObjectPtr& second) {
    first = scene.createObject(object->layer, object->start, object->start);
    second = scene.createObject(object->layer, object->start, object->start);
    if (!object->split(frame, first, second, scene)) {
        removeNewObject(scene, first);
        removeNewObject(scene, second);
        return false;
    }
    for (const ObjectPtr& piece : {first, second}) {
        Effect::ItemEvent event;
        event.kind = Effect::ItemEvent::kSplit;
        event.scope = &scope;
        event.splitFrom = object;
        piece->sendInputEffectEvent(event);
    }
    return true;
}

void joinGroup(const ObjectPtr& object, const std::shared_ptr<Group>& group) {
    if (undo()) undo()->addObjectUndoGroup(object);
    object->setGroup(group);
}

void moveFocus(UpdateSection& scope, const ObjectPtr& from, const ObjectPtr& to) {
    Scene& scene = *scope.scene;
    if (scene.focusObject != from || scene.focusObject == to) return;
    scene.focusObject = to;
    scope.focusChanged = true;
}

void deleteFromScene(Scene& scene, const ObjectPtr& object) {
    if (undo()) undo()->addObjectUndoDelete(object);
    takeOutObject(scene, *object);
}

// Offers the clipboard's copies to other programs as text.
void publish(ObjectClipboard& clipboard) {
    if (clipboard.empty()) return;
    try {
        clipboard.publishedText = clipboard.toText();
    } catch (const std::exception& e) {
        System::Log::error("Edit::EditCommand::copyObject", "%s", e.what());
        return;
    }
    (void)System::Clipboard::setText(clipboard.publishedText.c_str());
}

// Copies another program put on the desktop clipboard replace the edit
// clipboard's; text of our own last copy, or any other text, leaves it.
void takeDesktopCopies(ObjectClipboard& clipboard) {
    std::wstring text;
    if (!System::Clipboard::getText(text) || text == clipboard.publishedText) return;
    ObjectClipboard read;
    if (read.loadText(text)) clipboard = std::move(read);
}

}  // namespace

PointerPosition setPointerPosition(PointerPosition position) { return std::exchange(gPointer, std::move(position)); }

ObjectClipboard& editClipboard() {
    EditService& edit = service();
    if (!edit.objectClipboard) edit.objectClipboard = std::make_shared<ObjectClipboard>();
    return *edit.objectClipboard;
}

bool canPaste() {
    if (!editClipboard().empty()) return true;
    std::wstring text;
    return System::Clipboard::getText(text) && text.rfind(L"[ObjectClipboard]", 0) == 0;
}

bool canSplitAt(const Object& object, int32_t frame) { return object.layer >= 0 && holds(object, frame); }

void splitObject(int32_t frame) {
    const auto targets = getTargets(*service().currentScene());
    if (targets.empty()) return;
    System::Log::info("Edit::EditCommand::splitObject", "split object num=%d frame=%d",
                      static_cast<int32_t>(targets.size()), frame);
    auto scope = service().openSection();
    scope->layersChanged = true;
    scope->objectChanged = true;
    if (undo()) undo()->openRecord(*scope);
    Scene& scene = *scope->scene;
    NewGroups firstGroups, secondGroups;
    for (const ObjectPtr& o : targets) {
        if (!canSplitAt(*o, frame)) continue;
        ObjectPtr first, second;
        if (!cutInTwo(scene, *scope, o, frame, first, second)) continue;
        if (undo()) {
            undo()->addObjectUndoCreate(first);
            undo()->addObjectUndoCreate(second);
        }
        if (o->group) {
            joinGroup(first, firstGroups.of(o->group.get()));
            joinGroup(second, secondGroups.of(o->group.get()));
        }
        deleteFromScene(scene, o);
        moveFocus(*scope, o, first);
    }
}

void copyObject() {
    const auto targets = getTargets(*service().currentScene());
    if (targets.empty()) return;
    System::Log::info("Edit::EditCommand::copyObject", "copy object num=%d", static_cast<int32_t>(targets.size()));
    ObjectClipboard& clipboard = editClipboard();
    clipboard.clear();
    for (const ObjectPtr& o : targets) clipboard.addObject(*o);
    publish(clipboard);
}

void cutObject() {
    Scene& current = *service().currentScene();
    const auto targets = getTargets(current);
    if (targets.empty()) return;
    const int32_t s = current.selectedStart;
    const int32_t e = current.selectedEnd;
    if (s < 0 || e < 0) {
        System::Log::info("Edit::EditCommand::cutObject", "cut object num=%d", static_cast<int32_t>(targets.size()));
        copyObject();
        deleteObject();
        return;
    }
    const int64_t t = static_cast<int64_t>(e) + 1;
    System::Log::info("Edit::EditCommand::cutObject", "cut range object num=%d", static_cast<int32_t>(targets.size()));
    ObjectClipboard& clipboard = editClipboard();
    clipboard.clear();
    std::vector<ObjectPtr> moved;
    moved.reserve(targets.size());
    {
        auto scope = service().openSection();
        scope->sectionsChanged = true;
        scope->timeSettingChanged = true;
        scope->layersChanged = true;
        scope->objectChanged = true;
        if (undo()) undo()->openRecord(*scope);
        Scene& scene = *scope->scene;
        scene.cursorFrame = scene.length < s ? scene.length : s;
        scope->cursorChanged = true;
        scene.selectedStart = scene.selectedEnd = -1;
        const auto t32 = static_cast<int32_t>(std::min<int64_t>(t, INT32_MAX));

        for (const ObjectPtr& o : targets) {
            if (o->layer < 0) continue;
            const bool holdsStart = holds(*o, s);
            const bool holdsEnd = holds(*o, t);
            if (holdsStart && holdsEnd) {
                ObjectPtr first, remainder, middle, last;
                if (!cutInTwo(scene, *scope, o, s, first, remainder)) continue;
                if (!cutInTwo(scene, *scope, remainder, t32, middle, last)) {
                    removeNewObject(scene, first);
                    removeNewObject(scene, remainder);
                    continue;
                }
                if (undo()) {
                    undo()->addObjectUndoCreate(first);
                    undo()->addObjectUndoCreate(last);
                }
                deleteFromScene(scene, o);
                if (o->group) {
                    joinGroup(first, o->group);
                    joinGroup(last, o->group);
                }
                moveFocus(*scope, o, first);
                clipboard.addObject(*middle);
                takeOutObject(scene, *middle);
                takeOutObject(scene, *remainder);
                moved.push_back(last);
            } else if (holdsStart) {
                ObjectPtr first, rest;
                if (!cutInTwo(scene, *scope, o, s, first, rest)) continue;
                if (undo()) undo()->addObjectUndoCreate(first);
                deleteFromScene(scene, o);
                if (o->group) joinGroup(first, o->group);
                moveFocus(*scope, o, first);
                clipboard.addObject(*rest);
                takeOutObject(scene, *rest);
            } else if (holdsEnd) {
                ObjectPtr head, rest;
                if (!cutInTwo(scene, *scope, o, t32, head, rest)) continue;
                if (undo()) undo()->addObjectUndoCreate(rest);
                deleteFromScene(scene, o);
                if (o->group) joinGroup(rest, o->group);
                moveFocus(*scope, o, rest);
                clipboard.addObject(*head);
                takeOutObject(scene, *head);
                moved.push_back(rest);
            } else if (o->start >= s && o->end < t) {
                clipboard.addObject(*o);
                deleteFromScene(scene, o);
            } else if (o->start >= t) {
                moved.push_back(o);
            }
        }
        clearSelection(scene);

        if (!moved.empty()) {
            scene.update();
            for (const ObjectPtr& o : moved) service().addSelectObject(o, false);
            const ObjectRange range = ObjectClipboard::getObjectRange(moved);
            int64_t d = static_cast<int64_t>(s) - t;
            while (d < 0) {
                bool blocked = false;
                for (const auto& [l, span] : range.layers) {
                    if (l < 0 || l >= scene.layerCount()) continue;
                    const SceneLayer& slot = scene.getLayer(l);
                    const int64_t p = span.start + d, q = span.end + d;
                    for (size_t i = slot.upperBoundByStart(static_cast<int32_t>(q)); i-- > 0;) {
                        const Object& other = *slot.objects[i];
                        if (other.end < p) break;
                        if (!other.selected && other.start <= q) {
                            d = static_cast<int64_t>(other.end) - span.start + 1;
                            blocked = true;
                            break;
                        }
                    }
                    if (blocked) break;
                }
                if (blocked) continue;
                for (const ObjectPtr& o : moved) {
                    if (undo()) undo()->addObjectUndoUpdate(o);
                    o->start = static_cast<int32_t>(o->start + d);
                    o->end = static_cast<int32_t>(o->end + d);
                    SceneLayer& slot = *scene.layers[static_cast<size_t>(o->layer)];
                    slot.needsSort = true;
                    if (o->layerRangeControl) slot.rangesDirty = true;
                }
                break;
            }
            clearSelection(scene);
        }
    }
    publish(clipboard);
}

void pasteObject(int32_t layer, int32_t frame) {
    ObjectClipboard& clipboard = editClipboard();
    takeDesktopCopies(clipboard);
    if (clipboard.empty()) return;
    System::Log::info("Edit::EditCommand::pasteObject", "paste object num=%d",
                      static_cast<int32_t>(clipboard.objects.size()));
    clipboard.pasteAt(service(), layer, frame);
}

void pasteObject() {
    ObjectClipboard& clipboard = editClipboard();
    takeDesktopCopies(clipboard);
    if (clipboard.empty()) return;
    System::Log::info("Edit::EditCommand::pasteObject", "paste object num=%d",
                      static_cast<int32_t>(clipboard.objects.size()));
    if (gPointer) {
        if (const std::optional<PastePoint> point = gPointer()) {
            clipboard.pasteAt(service(), std::max(point->layer, 0), std::max(point->frame, 0));
            return;
        }
    }
    const Scene& scene = *service().currentScene();
    clipboard.range = ObjectClipboard::getObjectRange(clipboard.objects);
    const ObjectRange& range = clipboard.range;
    const int32_t cursor = scene.cursorFrame;
    const int32_t d = cursor < range.lowestStart || cursor > range.highestEnd ? cursor - range.lowestStart : 0;
    int32_t layerOffset = range.highestLayer - range.lowestLayer;
    while (!clipboard.canPasteAt(scene, d, layerOffset)) {
    }
    clipboard.paste(service(), layerOffset, d);
}

void duplicateObject() {
    const auto targets = getTargets(*service().currentScene());
    if (targets.empty()) return;
    System::Log::info("Edit::EditCommand::duplicateObject", "duplicate object num=%d",
                      static_cast<int32_t>(targets.size()));
    ObjectClipboard copies;
    for (const ObjectPtr& o : targets) copies.addObject(*o);
    copies.range = ObjectClipboard::getObjectRange(copies.objects);
    int32_t layerOffset = copies.range.highestLayer - copies.range.lowestLayer;
    while (!copies.canPasteAt(*service().currentScene(), 0, layerOffset)) {
    }
    copies.paste(service(), layerOffset, 0);
}

}  // namespace Edit::EditCommand
