#pragma once
// The commands that create, load and delete objects, and the one that makes
// a scene from a media file. Each runs on the current scene of the edit
// service, logs one line, changes the model in one edit scope and is one
// undo step. UI thread only.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Edit {
class Object;
class UpdateSection;
}  // namespace Edit

namespace Edit::EditCommand {

// Runs on a new object inside the command's scope; may be empty.
using ObjectCallback = std::function<void(Object& object, UpdateSection& scope)>;

// A new object headed by the named effect on the layer, from the first free
// frame at or after frame; its length is the zoom's default, cut short by a
// neighbour. An unknown effect throws (nothing is created). Returns the object.
std::shared_ptr<Object> createObject(const std::wstring& effectName, int32_t layer, int32_t frame,
                                     const ObjectCallback& callback = {});
// The callback that hands a file to the new object's source effect, after
// the object was sorted into its slot.
ObjectCallback passFile(std::wstring path);
// A new object from a saved object (".object") or saved effect file. A file
// that cannot be read posts "エイリアスの読み込みに失敗しました" and changes
// nothing; returns none then.
std::shared_ptr<Object> loadObject(const std::wstring& path, int32_t layer, int32_t frame);
// Removes the targets from the scene.
void deleteObject();
// Asks for a new scene sized after the media file and puts one object for
// the file into it; false when nothing was created.
bool createSceneFromFile(const std::wstring& path);

}  // namespace Edit::EditCommand
