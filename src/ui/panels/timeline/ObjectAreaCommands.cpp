#include "ui/panels/timeline/ObjectAreaCommands.h"

#include "edit/EditService.h"
#include "edit/ObjectFlagCommands.h"
#include "edit/ObjectSectionCommands.h"
#include "ui/panels/ModelMenu.h"
#include "ui/panels/timeline/ObjectAliasSave.h"

namespace Component {

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
            ModelMenu group(menu);
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
