#include "ui/settings/EffectItemFileControl.h"

#include "core/FileName.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/settings/ItemControlText.h"

namespace Component {

EffectItemFileControl::EffectItemFileControl(Window::ControlContainer& parent, EffectSetting& owner,
                                             const std::shared_ptr<Effect::EffectBase>& edited,
                                             Effect::EffectItemFile& file)
    : EffectItemControl(parent, owner, edited, file, Window::SettingItemRowHeight),
      nameButton(frame, 0, 0, Window::SettingItemHeaderWidth, 0, Control::TextButtonControl::Centred),
      valueText(frame, Window::SettingItemHeaderWidth + Window::SettingItemMarginWidth, 0, 0, 0, {},
                Control::TextControl::LeftEllipsis) {
    nameButton.text = itemLabel(file);
    nameButton.clickAction = [this](Control::ButtonControl&) { chooseFile(); };
    updateValue();
}

std::shared_ptr<EffectItemBaseControl> EffectItemFileControl::create(Effect::EffectItem& item,
                                                                     Window::ControlContainer& parent,
                                                                     EffectSetting& block,
                                                                     const std::shared_ptr<Effect::EffectBase>& effect) {
    auto* file = item.to<Effect::EffectItemFile>();
    if (file == nullptr) return nullptr;
    return std::make_shared<EffectItemFileControl>(parent, block, effect, *file);
}

void EffectItemFileControl::updateValue() {
    std::wstring shown;
    if (!item->path.empty())
        shown = fileNamePart(item->path);
    else
        shown = item->placeholder != nullptr ? item->placeholder : L"未選択";
    if (shown != valueText.text) {
        valueText.text = std::move(shown);
        valueText.invalidate();
    }
}

void EffectItemFileControl::chooseFile() {
    std::wstring path = item->path;
    if (Dialog::openFileDialog(path, dialogFilter(item->filter).c_str()))
        updateFile(path);
    else if (item->clearOnCancel != 0)
        updateFile({});
}

void EffectItemFileControl::updateFile(const std::wstring& path) {
    commitChange([&](Edit::UpdateSection&) {
        item->path = path;
        System::FileName::expandVariable(item->path);
        updateValue();
    });
}

}  // namespace Component
