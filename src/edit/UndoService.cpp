#include "edit/UndoService.h"

#include "core/Log.h"
#include "core/SettingService.h"
#include "edit/ColorSettingUndoUpdate.h"
#include "edit/EffectUndoUpdate.h"
#include "edit/Layer.h"
#include "edit/LayerUndoStates.h"
#include "edit/Object.h"
#include "edit/ObjectUndoStates.h"
#include "edit/UndoItemTemplate.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"

namespace Undo {

namespace {

template <class Target, class State>
std::unique_ptr<UndoItem> captured(const std::shared_ptr<Target>& target) {
    auto item = std::make_unique<UndoItemTemplate<Target, State>>(target);
    item->captureBefore();
    return item;
}

}  // namespace

UndoService::UndoService() : binding_(group_, Setting::SettingService::mainSettings()) {
    if (System::IniFile* settings = Setting::SettingService::mainSettings())
        group_.load(*settings);
    else
        for (System::Config::Parameter* parameter : group_.parameters()) parameter->reset();
}

UndoService::~UndoService() = default;

void UndoService::openRecord(Edit::UpdateSection& scope) {
    if (scope.undoOpen) return;
    scope.undoOpen = true;
    recording = true;
    pending_.clear();
}

void UndoService::abandonRecord() {
    recording = false;
    pending_.clear();
}

void UndoService::pushItem(std::unique_ptr<UndoItem> item) { pending_.push_back(std::move(item)); }

void UndoService::addObjectUndoUpdate(const std::shared_ptr<Edit::Object>& o) {
    pushItem(captured<Edit::Object, Edit::ObjectUndoUpdate>(o));
}

void UndoService::addObjectUndoCreate(const std::shared_ptr<Edit::Object>& o) {
    // The object is being created: its before state is "not in the scene".
    auto item = std::make_unique<UndoItemTemplate<Edit::Object, Edit::ObjectUndoCreateDelete>>(o);
    item->before.layer = -1;
    pushItem(std::move(item));
}

void UndoService::addColorSettingUndoUpdate(Component::ColorSettingColors& panel) {
    pushItem(captured<Component::ColorSetting, Component::ColorSettingUndoUpdate>(
        std::make_shared<Component::ColorSetting>(Component::ColorSetting{&panel})));
}

void UndoService::addObjectUndoDelete(const std::shared_ptr<Edit::Object>& o) {
    pushItem(captured<Edit::Object, Edit::ObjectUndoCreateDelete>(o));
}

void UndoService::addObjectUndoSection(const std::shared_ptr<Edit::Object>& o) {
    pushItem(captured<Edit::Object, Edit::ObjectUndoSection>(o));
    for (const auto& effect : o->effects) addEffectUndoUpdate(effect);
}

void UndoService::addObjectUndoGroup(const std::shared_ptr<Edit::Object>& o) {
    pushItem(captured<Edit::Object, Edit::ObjectUndoGroup>(o));
}

void UndoService::addObjectUndoEffect(const std::shared_ptr<Edit::Object>& o) {
    pushItem(captured<Edit::Object, Edit::ObjectUndoEffect>(o));
}

void UndoService::addObjectUndoFlag(const std::shared_ptr<Edit::Object>& o) {
    pushItem(captured<Edit::Object, Edit::ObjectUndoFlag>(o));
}

void UndoService::addObjectUndoLayerRange(const std::shared_ptr<Edit::Object>& o) {
    pushItem(captured<Edit::Object, Edit::ObjectUndoLayerRange>(o));
}

void UndoService::addEffectUndoUpdate(const std::shared_ptr<Effect::EffectBase>& e) {
    pushItem(captured<Effect::EffectBase, Effect::EffectUndoUpdate>(e));
}

void UndoService::addLayerUndoUpdate(const std::shared_ptr<Edit::Layer>& l) {
    pushItem(captured<Edit::Layer, Edit::LayerUndoUpdate>(l));
}

void UndoService::addLayerUndoMove(const std::shared_ptr<Edit::Layer>& l) {
    pushItem(captured<Edit::Layer, Edit::LayerUndoMove>(l));
}

void UndoService::addLayerUndoInsert(const std::shared_ptr<Edit::Layer>& l) {
    auto item = std::make_unique<UndoItemTemplate<Edit::Layer, Edit::LayerUndoCreateDelete>>(l);
    item->before.index = -1;
    pushItem(std::move(item));
}

void UndoService::addLayerUndoDelete(const std::shared_ptr<Edit::Layer>& l) {
    pushItem(captured<Edit::Layer, Edit::LayerUndoCreateDelete>(l));
}

void UndoService::commitRecord() {
    recording = false;
    UndoRecord record;
    std::vector<std::unique_ptr<UndoItem>> items = std::move(pending_);
    pending_.clear();
    for (auto& item : items)
        if (item->commit()) record.items.push_back(std::move(item));
    items.clear();
    if (record.items.empty() || !history_) {
        if (!record.items.empty()) modified = true;  // a change without a current scene still counts
        return;
    }
    while (history_->undone > 0) {
        history_->records.pop_front();
        --history_->undone;
    }
    history_->records.push_front(std::move(record));
    const size_t limit = undoMax_ > 0 ? static_cast<size_t>(undoMax_) : 0;
    while (history_->records.size() > limit) history_->records.pop_back();
    modified = true;
}

std::unique_ptr<Edit::UpdateSection> UndoService::openScope(const char* logScope) {
    std::unique_ptr<Edit::UpdateSection> scope = openSection_ ? openSection_() : nullptr;
    if (!scope) System::Log::error(logScope, "no edit scope could be opened; nothing was restored");
    return scope;
}

void UndoService::replay(UndoRecord& record, Edit::UpdateSection& scope, bool backwards, bool keepPanels) {
    scope.objectChanged = true;
    if (backwards) {
        for (auto it = record.items.rbegin(); it != record.items.rend(); ++it) (*it)->undo(scope);
    } else {
        for (auto& item : record.items) item->redo(scope);
    }
    if (keepPanels) scope.effectsChanged = scope.timeSettingChanged = scope.colorSettingChanged = false;
}

// The position in the history moves only once the scope that restores the
// record is open: without one the record stays where it was.

bool UndoService::undo() {
    if (!history_ || !history_->canUndo()) return false;
    UndoRecord& record = history_->records[history_->undone];
    System::Log::info("Undo::UndoService::undo", "Undo: %d", static_cast<int>(record.items.size()));
    const auto scope = openScope("Undo::UndoService::undo");
    if (!scope) return false;
    ++history_->undone;
    replay(record, *scope, true, false);
    return true;
}

bool UndoService::redo() {
    if (!history_ || !history_->canRedo()) return false;
    UndoRecord& record = history_->records[history_->undone - 1];
    System::Log::info("Undo::UndoService::redo", "Redo: %d", static_cast<int>(record.items.size()));
    const auto scope = openScope("Undo::UndoService::redo");
    if (!scope) return false;
    --history_->undone;
    replay(record, *scope, false, false);
    return true;
}

bool UndoService::undoText(const Effect::EffectItem& item) {
    if (!history_ || !history_->canUndo() || !isOnlyEffectItemRecord(history_->records[history_->undone], item))
        return false;
    UndoRecord& record = history_->records[history_->undone];
    System::Log::info("Undo::UndoService::undoText", "UndoText: %d", static_cast<int>(record.items.size()));
    const auto scope = openScope("Undo::UndoService::undoText");
    if (!scope) return false;
    ++history_->undone;
    replay(record, *scope, true, true);
    return true;
}

bool UndoService::redoText(const Effect::EffectItem& item) {
    if (!history_ || !history_->canRedo()) return false;
    UndoRecord& record = history_->records[history_->undone - 1];
    if (!isOnlyEffectItemRecord(record, item)) return false;
    System::Log::info("Undo::UndoService::redoText", "Redo: %d", static_cast<int>(record.items.size()));
    const auto scope = openScope("Undo::UndoService::redoText");
    if (!scope) return false;
    --history_->undone;
    replay(record, *scope, false, true);
    return true;
}

bool UndoService::isOnlyEffectItemRecord(const UndoRecord& record, const Effect::EffectItem& item) {
    if (record.items.size() != 1) return false;
    using EffectItem = UndoItemTemplate<Effect::EffectBase, Effect::EffectUndoUpdate>;
    const auto* effectItem = dynamic_cast<const EffectItem*>(record.items.front().get());
    if (!effectItem) return false;
    return effectItem->before.hasOnlyEffectItem(*effectItem->target, item) &&
           effectItem->after.hasOnlyEffectItem(*effectItem->target, item);
}

}  // namespace Undo
