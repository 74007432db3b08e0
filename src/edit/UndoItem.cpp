#include "edit/UndoItem.h"

namespace Undo {

UndoItem::~UndoItem() = default;

}  // namespace Undo
