#include "ui/panels/timeline/ObjectAreaCommands.h"

#include "ui/panels/timeline/ObjectAliasSave.h"

namespace Component {

ObjectAreaCommands& ObjectAreaCommands::installed() {
    static ObjectAreaCommands commands = [] {
        ObjectAreaCommands own;
        own.saveObjectAlias = [](const std::shared_ptr<Edit::Object>& object) {
            Component::saveObjectAlias(object, true);
        };
        return own;
    }();
    return commands;
}

}  // namespace Component
