#pragma once
// The commands that change where objects begin, end and divide into
// sections: midpoints, the length of the targets and empty frames in the
// whole timeline, each one edit scope and one undo step; and the cursor
// moves to a typed time or along the focus object's section boundaries,
// which change only the cursor frame. UI thread only.
#include <cstdint>
#include <memory>

namespace Edit {
class Object;
class Scene;
}  // namespace Edit

namespace Edit::EditCommand {

// A midpoint at the frame of one object; every number item keeps the value
// it had there, so the object looks the same.
void createSection(const std::shared_ptr<Object>& object, int32_t frame);
// A midpoint at the frame in every target that can take one there.
void createSection(int32_t frame);
// Removes midpoint number index (1-based) of one object; another index
// changes nothing.
void deleteSection(const std::shared_ptr<Object>& object, int32_t index);
// Removes from every target the midpoint that lies exactly at the frame.
void deleteSection(int32_t frame);
// Asks for a length in the frame-length dialog and gives it to the targets,
// as far as the next object on each layer allows.
void changeObjectLength();
// Asks for a number of frames and moves every object starting at or after
// the frame later by it, on every layer.
void insertNullFrame(int32_t frame);
// Asks for a frame and moves the cursor there.
void showMoveTimeDialog();
// The cursor to the next or previous section boundary of the focus object.
void moveCursorToNextSection();
void moveCursorToPrevSection();

// Whether the add-midpoint and delete-midpoint entries have a target to act
// on at the frame.
bool canCreateSectionAt(const Scene& scene, int32_t frame);
bool canDeleteSectionAt(const Scene& scene, int32_t frame);
// The boundary the cursor moves to from frame c, or c itself when it stays.
int32_t nextSectionFrame(const Object& object, int32_t c);
int32_t prevSectionFrame(const Object& object, int32_t c);

}  // namespace Edit::EditCommand
