// The edit service's context-menu entries for the object commands.
#include "edit/EditCommandTargets.h"
#include "edit/EditService.h"
#include "edit/ObjectCreateCommands.h"
#include "edit/ObjectFlagCommands.h"
#include "edit/ObjectSplitCommands.h"
#include "edit/PopupMenu.h"
#include "edit/Scene.h"

namespace Edit {

void EditService::insertEditMenu(PopupMenu& menu) const {
    const bool targets = !EditCommand::getTargets(*currentScene_).empty();
    menu.insertItem(L"切り取り", targets, [] { EditCommand::cutObject(); });
    menu.insertItem(L"コピー", targets, [] { EditCommand::copyObject(); });
    menu.insertItem(L"貼り付け", EditCommand::canPaste(), [] { EditCommand::pasteObject(); });
    menu.insertItem(L"削除", targets, [] { EditCommand::deleteObject(); });
}

void EditService::insertGroupMenu(PopupMenu& menu) const {
    menu.insertItem(L"グループ化", currentScene_->selection.objects.size() >= 2, [] { EditCommand::setGroup(); });
    menu.insertItem(L"グループ解除", EditCommand::canClearGroup(*currentScene_), [] { EditCommand::clearGroup(); });
}

}  // namespace Edit
