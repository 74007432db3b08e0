#pragma once
#include <memory>
#include <string>

namespace Edit {
class Object;
}

// Saving an object as an alias: the name asked for, the file written under
// the alias folder, and the alias lists built again so that the menus offer
// it at once. UI thread only.
namespace Component {

// Whether the name can name an alias: not empty, none of \ / : * ? " ' < > | % = , .
bool isAliasName(const std::wstring& name);
// Asks for a name (again while the name is unusable or an existing alias is
// not to be replaced) and writes the object; withFrames keeps its start,
// midpoints and end. False when the user gave up.
bool saveObjectAlias(const std::shared_ptr<Edit::Object>& object, bool withFrames);

}  // namespace Component
