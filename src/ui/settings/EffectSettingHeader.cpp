#include "ui/settings/EffectSettingHeader.h"

#include "core/TranslateService.h"
#include "edit/Object.h"
#include "edit/ObjectFlagCommands.h"
#include "effect/EffectBase.h"
#include "ui/controls/ControlInput.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/settings/EffectSetting.h"
#include "ui/settings/SettingPanelState.h"

namespace Component {

namespace {

using Bitmaps = Window::StyleBitmapList;
using Effect::EffectBase;

// The fold button's triangles: right-pointing while folded, down-pointing while open.
constexpr float kFolded[] = {0.3f, 0.2f, 0.3f, 0.8f, 0.75f, 0.5f};
constexpr float kOpen[] = {0.2f, 0.3f, 0.8f, 0.3f, 0.5f, 0.75f};
const Control::IconGlyph kFoldedGlyph{kFolded, nullptr, {}};
const Control::IconGlyph kOpenGlyph{kOpen, nullptr, {}};

std::wstring effectName(const EffectBase& effect) {
    return Translate::translated(Translate::TranslateService::Table::Effect, effect.name);
}

}  // namespace

EffectSettingHeader::EffectSettingHeader(Window::WindowControl& parent, EffectSetting& owner)
    : WindowControlRenderTarget(parent, 0, 2, 0, 0),
      block(&owner),
      buttonSize(Window::SettingItemHeight),
      children(priority + 1, &visibleRect, &fullRect),
      row(children, 0, 0, 0, buttonSize),
      foldButton(row, 0, 0, buttonSize, 0, kOpenGlyph, false),
      name(row, buttonSize, 0, 0, 0, L"", Control::TextControl::LeftEllipsis),
      buttonFrame(children, 0, 4, 0, -2),
      enableCheck(buttonFrame, 0, 0, 0, 0),
      lockCheck(buttonFrame, 0, 0, 0, 0, Bitmaps::Lock, Bitmaps::Unlock),
      clippingCheck(buttonFrame, 0, 0, 0, 0, Bitmaps::Clip, Bitmaps::ClipOff),
      cameraCheck(buttonFrame, 0, 0, 0, 0, Bitmaps::CameraOn, Bitmaps::CameraOff),
      switchButton(buttonFrame, 0, 0, 0, 0, Bitmaps::Refresh) {
    service->unregisterMouse(&row);
    service->unregisterMouse(&name);
    for (Window::WindowControl* button : {static_cast<Window::WindowControl*>(&enableCheck),
                                          static_cast<Window::WindowControl*>(&lockCheck),
                                          static_cast<Window::WindowControl*>(&clippingCheck),
                                          static_cast<Window::WindowControl*>(&cameraCheck),
                                          static_cast<Window::WindowControl*>(&switchButton)}) {
        button->visible = false;
        button->layoutX = button->layoutY = button->layoutW = button->layoutH = -1;
    }
    setUp();
}

EffectSettingHeader::~EffectSettingHeader() = default;

void EffectSettingHeader::placeButton(Window::WindowControl& button) {
    const int32_t a = buttonSize;
    button.visible = true;
    button.layoutX = -a * (buttonCount + 1);
    button.layoutY = 0;
    button.layoutW = a - 6;
    button.layoutH = 0;
    ++buttonCount;
    name.layoutX = a + 2;
    name.layoutW = -a * buttonCount;
}

void EffectSettingHeader::setUp() {
    EffectSetting& b = *block;
    const EffectBase& effect = *b.effect;
    updateFold();
    foldButton.clickAction = [this](Control::ButtonControl&) {
        EffectSetting& owner = *block;
        owner.effect->hidden = owner.effect->hidden != 0 ? 0 : 1;
        owner.createItemControl();
        if (owner.host.relayout) owner.host.relayout();
    };

    // The enable check: the object's visibility on its first block, the filter's state elsewhere.
    const std::shared_ptr<Edit::Object> object = b.panel->object;
    const bool firstOfObject =
        object && !object->effects.empty() && object->effects.front() == b.effect && effect.role != EffectBase::kFilter;
    enableCheck.toolTipText = firstOfObject ? L"オブジェクトの表示・非表示" : L"フィルタ効果の有効・無効";
    enableCheck.setCheckState(effect.disabled == 0);
    enableCheck.setCheckAction([this](Control::CheckButtonControl& check) {
        Edit::EditCommand::setEnableEffect(block->panel->object, block->effect, check.checkState);
    });
    placeButton(enableCheck);

    if (effect.media != EffectBase::kAudio) {
        lockCheck.toolTipText = L"プレビュー編集の操作をロック";
        lockCheck.setCheckState(effect.locked != 0);
        lockCheck.setCheckAction([this](Control::CheckButtonControl& check) {
            Edit::EditCommand::setLockEffect(block->panel->object, block->effect, check.checkState);
        });
        placeButton(lockCheck);
    }

    const bool sceneChange = effect.role == EffectBase::kControl && effect.placement == EffectBase::kSceneChange;
    if (effect.role == EffectBase::kFilter || b.paired || sceneChange) {
        switchButton.toolTipText = effect.role == EffectBase::kFilter
                                       ? L"フィルタ効果を切替\n同じラベルのフィルタに切り替えます"
                                       : L"オブジェクトの切替\n同じラベルのオブジェクトに切り替えます";
        switchButton.clickAction = [this](Control::ButtonControl&) { block->showSwitchMenu(); };
        placeButton(switchButton);
    }

    if (b.paired && (b.paired->media == EffectBase::kVideo || b.paired->media == EffectBase::kVideoAudio)) {
        clippingCheck.toolTipText = L"クリッピングオブジェクトの有効・無効\n下位レイヤーのオブジェクトを切り抜きする";
        clippingCheck.setCheckState(object && object->clipping);
        clippingCheck.setCheckAction([this](Control::CheckButtonControl& check) {
            Edit::EditCommand::setEnableClippingObject(block->panel->object, check.checkState);
        });
        placeButton(clippingCheck);
        cameraCheck.toolTipText = L"カメラ制御の対象";
        cameraCheck.setCheckState(object && object->camera);
        cameraCheck.setCheckAction([this](Control::CheckButtonControl& check) {
            Edit::EditCommand::setEnableCameraObject(block->panel->object, check.checkState);
        });
        placeButton(cameraCheck);
    }

    std::wstring text = effectName(effect);
    if (b.paired) text += L" [" + effectName(*b.paired) + L"]";
    name.text = text;
}

void EffectSettingHeader::updateFold() { foldButton.setGlyph(block->folded() ? kFoldedGlyph : kOpenGlyph); }

void EffectSettingHeader::procLButtonDown(int32_t x, int32_t y) {
    // The header's empty parts start the block's reorder drag.
    if (!Window::ControlInput::passCapture(*this, *block)) return;
    block->procLButtonDown(x + fullRect.x - block->fullRect.x, y + fullRect.y - block->fullRect.y);
}

void EffectSettingHeader::procMouseEnter() { invalidate(); }

void EffectSettingHeader::procMouseLeave() { invalidate(); }

void EffectSettingHeader::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const Window::StyleBrushList::Index background = block->backgroundBrush(hovered);
    if (block->highlighted())
        fillRectangle(2, 0, fullRect.w - 2, fullRect.h, brush(background));
    else
        fillRectangle(0, 0, fullRect.w, fullRect.h, brush(background));
    foldButton.backgroundBrush = background;
    switchButton.backgroundBrush = background;
    for (Control::CheckButtonControl* check : {static_cast<Control::CheckButtonControl*>(&enableCheck),
                                               static_cast<Control::CheckButtonControl*>(&lockCheck),
                                               static_cast<Control::CheckButtonControl*>(&clippingCheck),
                                               static_cast<Control::CheckButtonControl*>(&cameraCheck)})
        check->checkBrush = background;
    for (size_t i = 0; i < children.children.size(); ++i) {
        Window::WindowControl* child = children.children[i];
        if (child->visible) child->procPaint();
    }
}

void EffectSettingHeader::procMove() { children.updateChildLayout(); }

}  // namespace Component
