#include "ui/controls/EditScrollBarControl.h"

#include <algorithm>

#include "ui/controls/EditControl.h"

namespace Control {

EditScrollBarControl::~EditScrollBarControl() {
    if (editor != nullptr && editor->scrollBar == this) editor->scrollBar = nullptr;
}

void EditScrollBarControl::bind(EditControl& edit) {
    editor = &edit;
    edit.scrollBar = this;
    scrollAction = [](ScrollBarControl& bar, int32_t firstUnit) {
        auto& self = static_cast<EditScrollBarControl&>(bar);
        if (self.editor == nullptr) return;
        self.editor->scrollY = firstUnit;
        self.editor->invalidate();
        self.update();
    };
    update();
}

void EditScrollBarControl::update() {
    if (editor == nullptr) return;
    const int32_t usable = editor->usableHeight();
    const int32_t e = usable != 0 ? editor->verticalMargin() + editor->textHeight : 0;
    minimum = std::min(e, 0);
    maximum = std::max(e, 0);
    setPosition(first, last);
    setPosition(editor->scrollY, editor->scrollY + usable);
    invalidate();
}

}  // namespace Control
