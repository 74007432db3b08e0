#include "ui/panels/timeline/ObjectAreaCommands.h"

#include <utility>

#include "edit/EditService.h"
#include "edit/ObjectFlagCommands.h"
#include "edit/ObjectSectionCommands.h"
#include "edit/PopupMenu.h"
#include "platform/window/Menu.h"
#include "ui/framework/BaseMenu.h"
#include "ui/panels/timeline/ObjectAliasSave.h"

namespace Component {

namespace {

// The model's group entries, appended to a window menu.
class GroupMenu : public Edit::PopupMenu {
public:
    explicit GroupMenu(Window::BaseMenu& menu) : menu_(menu) {}
    void insertItem(const std::wstring& text, bool enabled, std::function<void()> action) override {
        const Window::BaseMenu::Item item = menu_.insertItem(text, std::move(action));
        if (!enabled) Platform::window::enableMenuItem(item.menu, static_cast<uint32_t>(item.id), false);
    }
    void insertSeparator() override { menu_.insertSeparator(); }

private:
    Window::BaseMenu& menu_;
};

}  // namespace

ObjectAreaCommands& ObjectAreaCommands::installed() {
    static ObjectAreaCommands commands = [] {
        ObjectAreaCommands own;
        own.insertNullFrame = [](int32_t frame) { Edit::EditCommand::insertNullFrame(frame); };
        own.changeObjectLength = [] { Edit::EditCommand::changeObjectLength(); };
        own.createSection = [](const std::shared_ptr<Edit::Object>& object, int32_t frame) {
            Edit::EditCommand::createSection(object, frame);
        };
        own.deleteSection = [](const std::shared_ptr<Edit::Object>& object, int32_t index) {
            Edit::EditCommand::deleteSection(object, index);
        };
        own.canAdjustTargetLayerRange = [] {
            const Edit::EditService* edit = Edit::EditService::instance();
            return edit != nullptr && edit->currentScene() != nullptr &&
                   Edit::EditCommand::canAdjustTargetLayerRange(*edit->currentScene());
        };
        own.adjustTargetLayerRange = [] { Edit::EditCommand::adjustTargetLayerRange(); };
        own.insertGroupMenu = [](Window::BaseMenu& menu) {
            const Edit::EditService* edit = Edit::EditService::instance();
            if (edit == nullptr) return;
            GroupMenu group(menu);
            edit->insertGroupMenu(group);
        };
        own.saveObjectAlias = [](const std::shared_ptr<Edit::Object>& object) {
            Component::saveObjectAlias(object, true);
        };
        return own;
    }();
    return commands;
}

}  // namespace Component
