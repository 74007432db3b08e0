#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/ServiceHolder.h"
#include "edit/UndoHistory.h"

namespace Effect {
class EffectBase;
class EffectItem;
}  // namespace Effect

namespace Edit {
class Layer;
class Object;
class UpdateSection;
}  // namespace Edit

namespace Component {
class ColorSettingColors;
}

namespace Undo {

// Collects the undo items an operation pushes, turns them into a record of
// the current scene's history when the operation ends, and replays records
// backwards (undo) or forwards (redo) inside an edit scope. Also carries the
// project's modified flag and the recording flag.
class UndoService {
public:
    using SectionOpener = std::function<std::unique_ptr<Edit::UpdateSection>()>;

    UndoService();
    ~UndoService();
    UndoService(const UndoService&) = delete;
    UndoService& operator=(const UndoService&) = delete;

    static UndoService* get() { return System::ServiceSlot<UndoService>::instance; }

    // The current scene's history; the edit service sets it with the current scene.
    void setHistory(UndoHistory* history) { history_ = history; }
    UndoHistory* history() const { return history_; }
    // How undo and redo open their edit scope (the edit service's scope).
    void setSectionOpener(SectionOpener opener) { openSection_ = std::move(opener); }

    // Opens a record for the operation of this scope before its first push:
    // the first call of a scope drops the items still pending.
    void openRecord(Edit::UpdateSection& scope);
    // Ends a record opened outside a closing scope without keeping it.
    void abandonRecord();

    void addObjectUndoUpdate(const std::shared_ptr<Edit::Object>& object);
    void addObjectUndoCreate(const std::shared_ptr<Edit::Object>& object);
    void addObjectUndoDelete(const std::shared_ptr<Edit::Object>& object);
    void addObjectUndoSection(const std::shared_ptr<Edit::Object>& object);
    void addObjectUndoGroup(const std::shared_ptr<Edit::Object>& object);
    void addObjectUndoEffect(const std::shared_ptr<Edit::Object>& object);
    void addObjectUndoFlag(const std::shared_ptr<Edit::Object>& object);
    void addObjectUndoLayerRange(const std::shared_ptr<Edit::Object>& object);
    void addEffectUndoUpdate(const std::shared_ptr<Effect::EffectBase>& effect);
    void addLayerUndoUpdate(const std::shared_ptr<Edit::Layer>& layer);
    // The colour setting panel's current and old colour.
    void addColorSettingUndoUpdate(Component::ColorSettingColors& panel);
    // Layer moves, inserts and deletes, built by the timeline's commands.
    void addLayerUndoMove(const std::shared_ptr<Edit::Layer>& layer);
    void addLayerUndoInsert(const std::shared_ptr<Edit::Layer>& layer);
    void addLayerUndoDelete(const std::shared_ptr<Edit::Layer>& layer);
    void pushItem(std::unique_ptr<UndoItem> item);

    void commitRecord();
    // Each returns whether it restored a record. When no edit scope can be
    // opened the failure is logged and the history's position stays.
    bool undo();
    bool redo();
    bool undoText(const Effect::EffectItem& item);
    bool redoText(const Effect::EffectItem& item);
    static bool isOnlyEffectItemRecord(const UndoRecord& record, const Effect::EffectItem& item);

    bool canUndo() const { return history_ && history_->canUndo(); }
    bool canRedo() const { return history_ && history_->canRedo(); }

    int32_t undoMax() const { return undoMax_; }
    void setUndoMax(int32_t value) { undoMax_ = value; }
    const std::vector<std::unique_ptr<UndoItem>>& pending() const { return pending_; }

    bool modified = false;
    bool recording = false;

private:
    std::unique_ptr<Edit::UpdateSection> openScope(const char* logScope);
    void replay(UndoRecord& record, Edit::UpdateSection& scope, bool backwards, bool keepPanels);

    System::Config::ParameterGroup group_{"Undo"};
    int32_t undoMax_ = 100;
    System::Config::Int undoMaxParameter_{group_, "UndoMax", &undoMax_, 100};
    System::Config::ParameterBinding binding_;
    UndoHistory* history_ = nullptr;
    std::vector<std::unique_ptr<UndoItem>> pending_;
    SectionOpener openSection_;
};

}  // namespace Undo
