#pragma once
// The commands that cut objects in time and move copies of them through the
// edit clipboard: split, cut, copy, paste and duplicate. Each changing one is
// one edit scope and one undo step on the current scene. UI thread only.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace Edit {
class Object;
class ObjectClipboard;
}  // namespace Edit

namespace Edit::EditCommand {

// Whether a target can be split at the frame (start < frame <= end).
bool canSplitAt(const Object& object, int32_t frame);
// Splits every target the frame lies in.
void splitObject(int32_t frame);
// Copy and delete; with a chosen frame range, removes that range from the
// targets and closes the gap.
void cutObject();
// Replaces the edit clipboard with copies of the targets and offers their
// text on the desktop clipboard.
void copyObject();
// Pastes the clipboard with its top layer at the layer, shifted right from
// the frame until it fits.
void pasteObject(int32_t layer, int32_t frame);
// Pastes at the timeline's pointer when it is over the object area, else at
// the cursor frame below the copied block. Copies another program put on the
// desktop clipboard replace the edit clipboard first.
void pasteObject();
// Copies of the targets at their frames on the first layers below that are free.
void duplicateObject();

// The edit clipboard of the edit service, made on first use.
ObjectClipboard& editClipboard();
// Whether paste has something: the edit clipboard, or copies another
// program offers on the desktop clipboard.
bool canPaste();

// The layer and frame under the timeline's pointer, when it is over the
// object area; the timeline installs it. Returns the one installed before.
struct PastePoint {
    int32_t layer;
    int32_t frame;
};
using PointerPosition = std::function<std::optional<PastePoint>()>;
PointerPosition setPointerPosition(PointerPosition position);

}  // namespace Edit::EditCommand
