#include "ui/settings/EffectSetting.h"

#include <algorithm>

#include "core/EventService.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectDefine.h"
#include "effect/EffectItem.h"
#include "effect/EffectService.h"
#include "platform/window/Menu.h"
#include "platform/window/Pointer.h"
#include "platform/window/TopLevel.h"
#include "platform/window/SystemMetrics.h"
#include "ui/controls/ControlInput.h"
#include "ui/framework/DropFiles.h"
#include "ui/framework/Host.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/ToolTips.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/settings/EffectItemBaseControl.h"
#include "ui/settings/ItemControlTable.h"
#include "ui/settings/SettingPanelState.h"

namespace Component {

namespace {

using Brushes = Window::StyleBrushList;
using Effect::EffectBase;
using Router = Window::WindowMouseService;

bool isFileKind(const Effect::EffectItem* item) {
    return item != nullptr && (item->type == Effect::EffectItem::kFile || item->type == Effect::EffectItem::kFigure);
}

// Index of the effect in the object's chain; -1 when it is not there.
int32_t chainIndex(const Edit::Object& object, const EffectBase* effect) {
    for (size_t i = 0; i < object.effects.size(); ++i)
        if (object.effects[i].get() == effect) return static_cast<int32_t>(i);
    return -1;
}

}  // namespace

const EffectBase* EffectSetting::highlightedEffect = nullptr;

EffectSetting::EffectSetting(Window::ControlContainer& parent, SettingPanelState& state,
                             std::shared_ptr<EffectBase> shown, std::shared_ptr<EffectBase> pairedOutput, Host owner)
    : WindowControlRenderTarget(parent, 0, 0, 0, 1),
      panel(&state),
      effect(std::move(shown)),
      paired(std::move(pairedOutput)),
      host(std::move(owner)),
      children(priority + 1, &visibleRect, &fullRect),
      headerArea(children, 0, 0, 0, Window::SettingItemHeight + 4),
      separator(headerArea, 0, 0, 0, 2) {
    acceptContextMenu = true;
    acceptDrop = true;
    separator.brush = Brushes::Background;
    effect->updateItemState();
    header = std::make_unique<EffectSettingHeader>(headerArea, *this);
    createItemControl();
    effect->setupItemControls(*this);
}

void EffectSetting::bindInformationActions() {
    if (effect->role != EffectBase::kInput) return;
    for (const std::shared_ptr<EffectItemBaseControl>& row : rows) {
        const Effect::EffectItem* item = row->getEffectItem();
        if (item == nullptr || row->clickAction || row->effect() != effect) continue;
        if (item->type != Effect::EffectItem::kFile && item->type != Effect::EffectItem::kScene) continue;
        EffectItemBaseControl* target = row.get();
        target->clickAction = [target] {
            Effect::ItemEvent event;
            event.kind = Effect::ItemEvent::kFileInformation;
            event.object = target->object();
            event.effect = target->effect();
            event.item = target->getEffectItem();
            (void)event.effect->itemEvent(event);
        };
    }
}

EffectSetting::~EffectSetting() {
    if (highlightedEffect == effect.get()) highlightedEffect = nullptr;
    rows.clear();
    header.reset();
}

bool EffectSetting::folded() const { return effect->hidden != 0; }

int32_t EffectSetting::headerHeight() const { return Window::SettingItemHeight + 4; }

void EffectSetting::createItemControl() {
    rows.clear();
    if (header) header->updateFold();
    if (folded()) return;
    panel->clearFocusChain();
    const auto addRows = [this](const std::shared_ptr<EffectBase>& owner) {
        for (Effect::EffectItem* item : owner->items)
            if (std::shared_ptr<EffectItemBaseControl> row = Component::createItemControl(*item, children, *this, owner))
                rows.push_back(std::move(row));
    };
    if (paired) addRows(paired);
    addRows(effect);
    panel->clearFocusChain();
    bindInformationActions();
}

EffectItemBaseControl* EffectSetting::findItemControl(const Effect::EffectItem* item) const {
    for (const std::shared_ptr<EffectItemBaseControl>& row : rows)
        if (row->getEffectItem() == item) return row.get();
    return nullptr;
}

int32_t EffectSetting::layoutRows() {
    int32_t height = headerHeight();
    if (!folded()) {
        for (const std::shared_ptr<EffectItemBaseControl>& row : rows) {
            row->layoutX = 0;
            row->layoutY = height;
            row->layoutW = 0;
            if (row->shareRight >= 1.0f) height += row->layoutH;
        }
    }
    layoutH = height;
    return height;
}

Brushes::Index EffectSetting::backgroundBrush(bool hoveredControl) const {
    if (highlightedEffect != nullptr && highlightedEffect == effect.get()) return Brushes::GroupingSelect;
    return hoveredControl ? Brushes::GroupingHover : Brushes::Grouping;
}

void EffectSetting::setHighlight(bool on) {
    highlight_ = on;
    if (on)
        highlightedEffect = effect.get();
    else if (highlightedEffect == effect.get())
        highlightedEffect = nullptr;
    invalidate();
    if (header) header->invalidate();
    for (const auto& row : rows) row->invalidate();
}

// ---- reorder drag

void EffectSetting::procLButtonDown(int32_t x, int32_t y) {
    const std::shared_ptr<Edit::Object> object = panel->object;
    movable_ = false;
    if (object && effect->role == EffectBase::kFilter) {
        const int32_t j = chainIndex(*object, effect.get());
        const auto isFilter = [&](int32_t k) {
            return k >= 0 && k < static_cast<int32_t>(object->effects.size()) &&
                   object->effects[static_cast<size_t>(k)]->role == EffectBase::kFilter;
        };
        movable_ = j >= 0 && (isFilter(j - 1) || isFilter(j + 1));
    }
    Router* router = Router::get();
    if (router == nullptr) return;
    pressTop_ = fullRect.y;
    if (!movable_) {
        router->beginDrag(x, y, &Router::MouseCursor::No);
        return;
    }
    router->beginDrag(x, y, &Router::MouseCursor::SystemCursor32652);
    setHighlight(true);
}

void EffectSetting::procMouseDrag(int32_t, int32_t dy) {
    if (!movable_ || !highlight_ || !host.blocks) return;
    const std::shared_ptr<Edit::Object> object = panel->object;
    if (!object) return;
    const std::vector<EffectSetting*> list = host.blocks();
    const auto at = std::find(list.begin(), list.end(), this);
    if (at == list.end()) return;
    const int32_t d = pressTop_ + dy - fullRect.y;
    const int32_t h = fullRect.h;
    int32_t step = 0;
    if (d < 0 && at != list.begin()) {
        const int32_t hp = (*(at - 1))->fullRect.h;
        if (d < std::min((h - hp) / 2, 0) - 4) step = -1;
    } else if (d >= 0 && at + 1 != list.end()) {
        const int32_t hn = (*(at + 1))->fullRect.h;
        if (d > std::min(hn, (h + hn) / 2) + 4) step = 1;
    }
    if (step == 0) return;
    const int32_t j = chainIndex(*object, effect.get());
    if (step < 0) {
        if (j < 1 || object->effects[static_cast<size_t>(j - 1)]->role != EffectBase::kFilter) return;
    } else if (!object->canMoveDownEffect(*effect)) {
        return;
    }
    Edit::EditService* edit = Edit::EditService::instance();
    Undo::UndoService* undo = Undo::UndoService::get();
    if (edit == nullptr) return;
    {
        const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
        if (!dragUndo_ && undo != nullptr) {
            undo->openRecord(*scope);
            scope->undoOpen = false;
            undo->addObjectUndoEffect(object);
            dragUndo_ = true;
        }
        if (step < 0)
            object->moveUpEffect(*effect);
        else
            object->moveDownEffect(*effect);
        if (host.swapBlock) host.swapBlock(*this, step);
    }
    if (host.relayout) host.relayout();
}

void EffectSetting::procCaptureLost() {
    if (dragUndo_) {
        dragUndo_ = false;
        if (Undo::UndoService* undo = Undo::UndoService::get()) undo->commitRecord();
        if (Event::EventService* events = Event::EventService::get()) events->objectChangedListeners.call(nullptr);
    }
    if (highlight_) setHighlight(false);
}

// ---- menu

void EffectSetting::showSwitchMenu() {
    const std::shared_ptr<Edit::Object> object = panel->object;
    if (!object) return;
    const auto& fill = effect->role == EffectBase::kFilter ? Window::host().switchFilter
                       : paired                             ? Window::host().switchObject
                                                            : Window::host().switchSceneChange;
    if (!fill) return;
    Window::PopupMenu menu;
    fill(menu, object, effect);
    menu.show();
}

void EffectSetting::procContextMenu(int32_t, int32_t) {
    const std::shared_ptr<Edit::Object> object = panel->object;
    if (!object) return;
    Window::PopupMenu menu;
    const uint8_t firstPlacement = object->effects.empty() ? 0 : object->effects.front()->placement;
    const uint8_t firstMedia = object->effects.empty() ? 0 : object->effects.front()->media;
    {
        Window::BaseMenu add(menu, L"フィルタ効果を追加");
        if (Window::host().filterEffect) Window::host().filterEffect(add, object, 201, firstPlacement, effect.get());
    }
    const bool first = !object->effects.empty() && object->effects.front() == effect;
    const Window::BaseMenu::Item remove = menu.insertItem(L"フィルタ効果を削除", [this] { removeEffect(); });
    if (first) Platform::window::enableMenuItem(remove.menu, static_cast<uint32_t>(remove.id), false);
    if (paired) {
        menu.insertSeparator();
        Window::BaseMenu input(menu, L"オブジェクトの入力切替");
        if (Window::host().filterEffect) Window::host().filterEffect(input, object, 1, firstMedia, nullptr);
        Window::BaseMenu output(menu, L"オブジェクトの出力切替");
        if (Window::host().filterEffect) Window::host().filterEffect(output, object, 2, firstMedia, nullptr);
    }
    menu.insertSeparator();
    menu.insertItem(L"設定を初期化", [this] { setDefaultSetting(); });
    {
        Window::BaseMenu save(menu, L"設定を保存");
        save.insertItem(L"現在の設定を初期値にする", [this] {
            Effect::EffectService* effects = Effect::EffectService::get();
            if (effects == nullptr) return;
            for (const auto& e : {effect, paired})
                if (e) effects->findEffect(e->name).saveDefaultParam(*e);
        });
        save.insertItem(L"初期値を標準に戻す", [this] {
            Effect::EffectService* effects = Effect::EffectService::get();
            if (effects == nullptr) return;
            for (const auto& e : {effect, paired})
                if (e) effects->findEffect(e->name).resetDefaultParam(*e);
        });
    }
    menu.insertSeparator();
    menu.insertItem(L"エイリアスを作成", [this, first, object] {
        if (Window::host().saveAlias) Window::host().saveAlias(object, first ? nullptr : effect);
    });
    menu.insertSeparator();
    menu.insertItem(L"全ての項目を折りたたみ/展開", [this, object] {
        const bool anyOpen = std::any_of(object->effects.begin(), object->effects.end(),
                                         [](const auto& e) { return e->hidden == 0; });
        for (const auto& e : object->effects) e->hidden = anyOpen ? 1 : 0;
        if (host.blocks)
            for (EffectSetting* block : host.blocks()) block->createItemControl();
        if (host.relayout) host.relayout();
    });
    menu.insertSeparator();
    if (host.panelMenu) host.panelMenu(menu);
    setHighlight(true);
    menu.show([this] { setHighlight(false); });
}

void EffectSetting::removeEffect() {
    const std::shared_ptr<Edit::Object> object = panel->object;
    Edit::EditService* edit = Edit::EditService::instance();
    if (!object || edit == nullptr) return;
    System::Log::info("Edit::EditCommand::removeEffect", "remove effect [%s] layer=%d frame=%d",
                      System::wideToUtf8(effect->name).c_str(), object->layer, object->start);
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    scope->effectsChanged = true;
    scope->timeSettingChanged = scope->colorSettingChanged = scope->textSettingChanged = true;
    scope->objectChanged = true;
    scope->changedObject = object;
    if (Undo::UndoService* undo = Undo::UndoService::get()) {
        undo->openRecord(*scope);
        undo->addObjectUndoEffect(object);
    }
    object->removeEffect(*effect);
}

void EffectSetting::setDefaultSetting() {
    const std::shared_ptr<Edit::Object> object = panel->object;
    Edit::EditService* edit = Edit::EditService::instance();
    Effect::EffectService* effects = Effect::EffectService::get();
    if (!object || edit == nullptr || effects == nullptr) return;
    System::Log::info("Component::EffectSetting::setDefaultSetting", "initialize effect [%s]",
                      System::wideToUtf8(effect->name).c_str());
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    scope->effectsChanged = true;
    scope->timeSettingChanged = scope->colorSettingChanged = scope->textSettingChanged = true;
    scope->objectChanged = true;
    scope->changedObject = object;
    Undo::UndoService* undo = Undo::UndoService::get();
    if (undo != nullptr) undo->openRecord(*scope);
    for (const auto& e : {effect, paired}) {
        if (!e) continue;
        if (undo != nullptr) undo->addEffectUndoUpdate(e);
        e->setItemData(effects->findEffect(e->name).loadDefaultParam());
        Edit::EffectManager::setSectionNum(*e, object->sectionCount());
    }
}

// ---- file drops

EffectItemBaseControl* EffectSetting::fileRow() const {
    for (const std::shared_ptr<EffectItemBaseControl>& row : rows)
        if (isFileKind(row->getEffectItem())) return row.get();
    return nullptr;
}

bool EffectSetting::procDragOver(int32_t, int32_t, Window::DropFiles& files) {
    EffectItemBaseControl* row = fileRow();
    if (row == nullptr || files.files.empty() || !row->effect()->isSupportedFile(files.files.front())) return false;
    Platform::window::Point at{};
    if (Platform::window::getCursorPos(at)) {
        at.y += Platform::window::getSystemMetrics(Platform::window::kSmCyCursor);
        Window::ToolTips::show(at, L"ファイルを設定", 0);
    }
    files.accepted = true;
    return true;
}

bool EffectSetting::procDrop(int32_t, int32_t, Window::DropFiles& files) {
    EffectItemBaseControl* row = fileRow();
    if (row == nullptr || files.files.empty() || !row->effect()->isSupportedFile(files.files.front())) return false;
    row->updateFile(files.files.front());
    files.accepted = true;
    return true;
}

// ---- drawing

void EffectSetting::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    fillRectangle(0, 0, fullRect.w, fullRect.h, brush(highlight_ ? Brushes::GroupingSelect : Brushes::Grouping));
    for (size_t i = 0; i < children.children.size(); ++i) {
        Window::WindowControl* child = children.children[i];
        if (child->visible) child->procPaint();
    }
    if (highlight_) drawRectangle(0, 0, fullRect.w, fullRect.h, brush(Brushes::BorderFocus), 2, nullptr);
}

void EffectSetting::procMove() { children.updateChildLayout(); }

}  // namespace Component
