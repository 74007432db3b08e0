#include "ui/settings/SettingComponent.h"

#include <algorithm>
#include <array>

#include "core/EventService.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "platform/window/TopLevel.h"
#include "core/SettingService.h"
#include "edit/EditAnchorCommands.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/ObjectSectionCommands.h"
#include "edit/Scene.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "platform/window/Menu.h"
#include "ui/framework/BaseMenu.h"
#include "ui/framework/Host.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"
#include "ui/settings/EffectItemBaseControl.h"
#include "ui/settings/EffectItemFileControl.h"
#include "ui/settings/EffectItemNumberControl.h"

namespace Component {

namespace {

const std::wstring kTitle = L"オブジェクト設定";

int32_t cursorFrame() {
    const Edit::EditService* edit = Edit::EditService::instance();
    return edit != nullptr && edit->currentScene() ? edit->currentScene()->cursorFrame : 0;
}

}  // namespace

SettingComponent::SettingComponent()
    : WindowClientRenderTarget(&kTitle, "setting", {0.8f, 0.3f, 1.0f, 0.7f, Window::WindowClient::Right, true}),
      container_(199, &clientRect, &clientRect),
      settings_("Setting"),
      sectionViewMode_(settings_, "SectionViewMode", &state.sectionViewMode, SettingPanelState::kWholeSection),
      slideMouseHidden_(settings_, "SlideMouseHidden", &state.slideMouseHidden, 0),
      sliderButtonHidden_(settings_, "SliderButtonHidden", &state.sliderButtonHidden, 0),
      sliderCursorHidden_(settings_, "SliderCursorHidden", &state.sliderCursorHidden, 0),
      self_(std::make_shared<SettingComponent*>(this)) {
    acceptContextMenu = true;
    acceptRightButton = true;
    acceptWheel = true;
    for (System::Config::Parameter* parameter : settings_.parameters()) parameter->reset();
    if (System::IniFile* ini = Setting::SettingService::mainSettings()) {
        settings_.load(*ini);
        binding_ = std::make_unique<System::Config::ParameterBinding>(settings_, ini);
    }
    const int32_t headerHeight = Window::SettingHeaderHeight;
    const int32_t bar = Window::ScrollBarSize;
    blockArea_ = std::make_unique<Control::LayoutControl>(container_, 0, headerHeight, -bar, 0);
    header_ = std::make_unique<SettingHeader>(container_, state, 0, 0, -bar, headerHeight);
    scrollContainer_ =
        std::make_unique<Window::ControlContainer>(199, &blockArea_->visibleRect, &blockArea_->fullRect);
    scrollBar_ = std::make_unique<Control::ScrollBarControl>(container_, -bar, 0, bar);
    scrollBar_->wheelStep = 2 * (Window::SettingItemHeight + 2);
    scrollBar_->scrollAction = [this](Control::ScrollBarControl&, int32_t first) { scroll(first); };

    Control::SettingHeaderGaugeControl::Panel& gauge = header_->gauge.panel;
    gauge.shownSection = [this] { return state.shownIndex; };
    gauge.sectionViewMode = [this] { return state.sectionViewMode; };
    gauge.addMidpoint = [](const std::shared_ptr<Edit::Object>& object, int32_t frame) {
        Edit::EditCommand::createSection(object, frame);
    };
    gauge.deleteMidpoint = [](const std::shared_ptr<Edit::Object>& object, int32_t section) {
        Edit::EditCommand::deleteSection(object, section);
    };
    gauge.panelMenu = [this](Window::BaseMenu& menu) { addClientMenu(menu); };
    header_->addFilter = [](const std::shared_ptr<Edit::Object>& object) {
        if (!Window::host().filterEffect || object->effects.empty()) return;
        Window::PopupMenu menu;
        Window::host().filterEffect(menu, object, 201, object->effects.front()->placement, nullptr);
        menu.show();
    };
    container_.updateChildLayout();

    if (Event::EventService* events = Event::EventService::get()) {
        const std::weak_ptr<SettingComponent*> weak = self_;
        auto alive = [weak]() -> SettingComponent* {
            const auto self = weak.lock();
            return self ? *self : nullptr;
        };
        events->cursorFrameListeners.add([alive](int frame) {
            if (SettingComponent* self = alive()) self->updateFrame(frame);
        });
        events->focusObjectListeners.add([alive](const Event::EventService::ObjectRef& object) {
            if (SettingComponent* self = alive()) self->updateObject(object);
        });
        events->objectChangedListeners.add([alive](const Event::EventService::ObjectRef& object) {
            if (SettingComponent* self = alive()) self->changeObject(object);
        });
        events->sceneListeners.add([alive](int) {
            SettingComponent* self = alive();
            const Edit::EditService* edit = Edit::EditService::instance();
            if (self == nullptr || edit == nullptr || !edit->currentScene()) return;
            self->updateObject(edit->currentScene()->focusObject);
            self->updateFrame(edit->currentScene()->cursorFrame);
        });
    }
    // A click on a key anchor of the preview shows that key's section here.
    if (Edit::EditService* edit = Edit::EditService::instance()) {
        const std::weak_ptr<SettingComponent*> weak = self_;
        // The key anchor of the section shown here is marked, and the
        // current handles are that section's.
        const std::shared_ptr<ShownSection> shown = shownSection_;
        edit->anchorCommands().setSectionHooks({[weak](const Edit::Object&, int32_t frame) {
                                                    const auto self = weak.lock();
                                                    if (self && *self) (*self)->updateSection(frame);
                                                },
                                                [shown](const Edit::Object& object) {
                                                    const int32_t key = shown->key.load();
                                                    return shown->object.load() == &object ? key : -1;
                                                }});
    }
    if (const Edit::EditService* edit = Edit::EditService::instance(); edit != nullptr && edit->currentScene())
        updateObject(edit->currentScene()->focusObject);
}

SettingComponent::~SettingComponent() {
    *self_ = nullptr;
    if (Edit::EditService* edit = Edit::EditService::instance()) edit->anchorCommands().setSectionHooks({});
    retireTimer_.clear();
    blocks.clear();
    retired_.clear();
}

// ---- the shown object

bool SettingComponent::setObject(std::shared_ptr<Edit::Object> object) {
    if (object == state.object) return false;
    state.object.reset();
    shownSection_->object = nullptr;
    shownSection_->key = -1;
    retireBlocks();
    setScroll(0);
    if (object) {
        state.object = std::move(object);
        calcSections(cursorFrame());
        createEffectSetting();
        layoutEffectSetting();
        setScroll(0);
    }
    return true;
}

void SettingComponent::updateObject(std::shared_ptr<Edit::Object> object) {
    if (!setObject(std::move(object))) return;
    procMove();
    header_->gauge.cursorFrame = cursorFrame();
    header_->update();
    procPaint();
}

void SettingComponent::changeObject(const std::shared_ptr<Edit::Object>& object) {
    if (!state.object) return;
    if (object && object != state.object) {
        // A rebuild asked for by the change of another object must not leave
        // the shown object without its blocks.
        if (blocks.empty() && state.object->layer != -1) {
            createEffectSetting();
            layoutEffectSetting();
            procMove();
            procPaint();
        }
        return;
    }
    if (state.object->layer == -1) {
        updateObject(nullptr);
        return;
    }
    if (blocks.empty()) {
        calcSections(cursorFrame());
        createEffectSetting();
        layoutEffectSetting();
        procMove();
    }
    if (state.sectionCount == 0) {
        calcSections(cursorFrame());
        refreshSections();
    }
    header_->update();
    procPaint();
}

void SettingComponent::calcSections(int32_t frame) {
    state.calcSectionIndex(frame);
    if (!state.object) return;
    // The key first: a reader that sees the new object sees its key.
    shownSection_->key = state.shownIndex;
    shownSection_->object = state.object.get();
}

void SettingComponent::refreshSections() {
    for (const auto& block : blocks)
        for (const auto& row : block->rows) row->updateSection();
}

void SettingComponent::updateFrame(int32_t frame) {
    if (!state.object) return;
    calcSections(frame);
    refreshSections();
    header_->gauge.cursorFrame = frame;
    header_->invalidate();
    header_->gauge.invalidate();
}

void SettingComponent::updateSection(int32_t frame) {
    if (!state.object) return;
    const int32_t before = state.currentPoint;
    calcSections(frame);
    refreshSections();
    header_->gauge.cursorFrame = cursorFrame();
    header_->gauge.invalidate();
    if (state.currentPoint != before)
        if (Event::EventService* events = Event::EventService::get())
            events->settingSectionListeners.call(state.currentPoint);
}

// ---- blocks

EffectSetting::Host SettingComponent::host() {
    EffectSetting::Host h;
    h.relayout = [this] {
        layoutEffectSetting();
        procMove();
        procPaint();
    };
    h.blocks = [this] {
        std::vector<EffectSetting*> list;
        for (const auto& block : blocks) list.push_back(block.get());
        return list;
    };
    h.swapBlock = [this](EffectSetting& block, int32_t step) {
        for (size_t i = 0; i < blocks.size(); ++i) {
            if (blocks[i].get() != &block) continue;
            const auto j = static_cast<int64_t>(i) + step;
            if (j >= 0 && j < static_cast<int64_t>(blocks.size())) std::swap(blocks[i], blocks[static_cast<size_t>(j)]);
            return;
        }
    };
    h.panelMenu = [this](Window::BaseMenu& menu) { addClientMenu(menu); };
    return h;
}

void SettingComponent::retireBlocks() {
    if (blocks.empty()) return;
    for (auto& block : blocks) {
        block->visible = false;
        block->layoutX = block->layoutY = -1;
        block->layoutW = block->layoutH = 1;
        block->setRect(0, 0, 0, 0);
        block->procMove();
        retired_.push_back(std::move(block));
    }
    blocks.clear();
    retireTimer_.set(0, [this] {
        retireTimer_.clear();
        retired_.clear();
    });
}

void SettingComponent::requestRebuild() { retireBlocks(); }

void SettingComponent::requestRefresh() {
    if (!state.object) return;
    for (const auto& block : blocks) {
        if (block->header) {
            block->header->enableCheck.setCheckState(block->effect->disabled == 0);
            block->header->lockCheck.setCheckState(block->effect->locked != 0);
        }
        for (const auto& row : block->rows) row->updateValue();
    }
}

void SettingComponent::applyScopeRequests(const Edit::UpdateSection& scope) {
    SettingComponent* panel = get();
    if (panel == nullptr) return;
    if (scope.effectsChanged) panel->requestRebuild();
    if (scope.sectionsChanged) panel->requestSectionReset();
    if (scope.effectStateChanged) panel->requestRefresh();
}

void SettingComponent::createEffectSetting() {
    retireBlocks();
    if (!state.object) return;
    const auto& chain = state.object->effects;
    for (size_t i = 0; i < chain.size(); ++i) {
        const std::shared_ptr<Effect::EffectBase>& effect = chain[i];
        if (effect->role == Effect::EffectBase::kOutput) continue;
        std::shared_ptr<Effect::EffectBase> paired;
        if (effect->role == Effect::EffectBase::kInput && i + 1 < chain.size() &&
            chain[i + 1]->role == Effect::EffectBase::kOutput)
            paired = chain[i + 1];
        blocks.push_back(std::make_unique<EffectSetting>(*scrollContainer_, state, effect, paired, host()));
    }
}

void SettingComponent::layoutEffectSetting() {
    int32_t y = 0;
    for (const auto& block : blocks) {
        const int32_t h = block->layoutRows();
        block->layoutX = 0;
        block->layoutY = y;
        block->layoutW = 0;
        block->layoutH = h;
        y += h;
    }
    contentHeight = y;
}

// ---- scrolling

void SettingComponent::setScroll(int32_t position) {
    const int32_t h = clientRect.h;
    const int32_t m = Window::SettingItemHeight + 2;
    const int32_t extra = std::clamp(h / 8, m, 4 * m);
    const int32_t maximum = std::max(contentHeight + Window::SettingHeaderHeight + extra - h, 0);
    const int32_t pos = std::clamp(position, 0, maximum);
    const int32_t oldFirst = scrollBar_->first, oldLast = scrollBar_->last;
    scrollBar_->minimum = 0;
    scrollBar_->maximum = std::max(contentHeight + extra, 0);
    scrollBar_->setPosition(oldFirst, oldLast);
    scrollBar_->setPosition(pos, pos + h - Window::SettingHeaderHeight);
    scrollPosition = pos;
    scrollContainer_->offsetY = pos;
    scrollContainer_->updateChildLayout();
}

void SettingComponent::scroll(int32_t position) {
    setScroll(position);
    procPaint();
}

void SettingComponent::fillBelowContent() {
    const int32_t y = Window::SettingHeaderHeight - scrollPosition + contentHeight;
    if (y < clientRect.h && windowService != nullptr)
        fillRectangle(0, y, clientRect.w - Window::ScrollBarSize, clientRect.h,
                      windowService->brushes.get(Window::StyleBrushList::Background));
}

// ---- input

void SettingComponent::procRButtonDown(int32_t x, int32_t y) {
    scrollAtPress = scrollPosition;
    if (Window::WindowMouseService* router = Window::WindowMouseService::get())
        router->beginDrag(x, y, &Window::WindowMouseService::MouseCursor::SizeAll);
}

void SettingComponent::procMouseDrag(int32_t, int32_t dy) { scroll(scrollAtPress - dy); }

void SettingComponent::procMouseWheel(int32_t x, int32_t y, int32_t delta) {
    scrollBar_->procMouseWheel(x + clientRect.x - scrollBar_->fullRect.x, y + clientRect.y - scrollBar_->fullRect.y,
                               delta);
}

void SettingComponent::addClientMenu(Window::BaseMenu& menu) {
    Window::BaseMenu options(menu, L"オプション");
    const auto apply = [this](bool modeChanged) {
        calcSections(cursorFrame());
        createEffectSetting();
        layoutEffectSetting();
        procMove();
        procPaint();
        if (modeChanged)
            if (Event::EventService* events = Event::EventService::get()) events->objectChangedListeners.call(nullptr);
    };
    {
        Window::BaseMenu view(options, L"区間表示");
        const auto mode = [&](const wchar_t* label, int32_t value) {
            const Window::BaseMenu::Item item = view.insertItem(label, [this, value, apply] {
                state.sectionViewMode = value;
                apply(true);
            });
            item.setRadioCheck();
            if (state.sectionViewMode == value)
                Platform::window::checkMenuItem(item.menu, static_cast<uint32_t>(item.id), true);
        };
        mode(L"区間表示しない", SettingPanelState::kOnePoint);
        mode(L"区間表示する", SettingPanelState::kWholeSection);
        mode(L"2点間のみ表示", SettingPanelState::kTwoPointsOnly);
    }
    const auto toggle = [&](const wchar_t* label, int32_t& value, bool markedWhenSet) {
        const Window::BaseMenu::Item item = options.insertItem(label, [&value, apply] {
            value = value != 0 ? 0 : 1;
            apply(false);
        });
        if ((value != 0) == markedWhenSet)
            Platform::window::checkMenuItem(item.menu, static_cast<uint32_t>(item.id), true);
    };
    toggle(L"スライダーの増減ボタンを表示", state.sliderButtonHidden, false);
    toggle(L"スライダーの値の位置を表示", state.sliderCursorHidden, false);
    toggle(L"スライド時にマウスを移動しない", state.slideMouseHidden, true);
    WindowClientRenderTarget::addClientMenu(menu);
}

// ---- drawing and layout

void SettingComponent::procPaint() {
    if (!shown() || target == nullptr) return;
    const DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w, clientRect.y + clientRect.h,
                          true);
    fillBelowContent();
    for (size_t i = 0; i < container_.children.size(); ++i) container_.children[i]->procPaint();
    for (const auto& block : blocks) block->procPaint();
    logRows();
}

void SettingComponent::logRows() {
    // Where each block's header, each number row's value and each file row's
    // button sit on the screen, for whoever watches the log; once per place.
    if (windowService == nullptr || windowService->window == nullptr) return;
    const auto logPlace = [this](const void* key, const Window::MouseRect& face, const char* what,
                                 const std::wstring& name, const char* part) {
        if (face.w <= 0 || face.h <= 0) return;
        Platform::window::Point corner{face.x, face.y};
        (void)Platform::window::clientToScreen(windowService->window, corner);
        const std::array<int32_t, 4> place{corner.x, corner.y, face.w, face.h};
        auto [at, added] = loggedRows_.try_emplace(key, place);
        if (!added && at->second == place) return;
        at->second = place;
        System::Log::verbose("Component::SettingComponent", "%s [%s] %s at %d,%d %dx%d on the screen", what,
                             System::wideToUtf8(name).c_str(), part, place[0], place[1], place[2], place[3]);
    };
    for (const auto& block : blocks) {
        logPlace(block->effect.get(), block->header->visibleRect, "block", block->effect->name, "header");
        for (const auto& row : block->rows) {
            if (const auto* number = dynamic_cast<const EffectItemNumberControl*>(row.get());
                number != nullptr && number->item != nullptr) {
                logPlace(number->item, number->firstSlider.sliderButton.visibleRect, "number row", number->item->name,
                         "value");
                if (number->nameButton.iconBitmap)
                    logPlace(&number->nameButton, number->nameButton.iconRect, "number row", number->item->name,
                             "movement icon");
            } else if (const auto* file = dynamic_cast<const EffectItemFileControl*>(row.get()); file != nullptr)
                logPlace(file->item, file->nameButton.visibleRect, "file row", file->item->name, "button");
        }
    }
}

void SettingComponent::procMove() {
    WindowClientRenderTarget::procMove();
    container_.updateChildLayout();
    setScroll(scrollPosition);
}

}  // namespace Component
