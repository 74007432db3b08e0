#pragma once
#include <memory>
#include <string>

namespace Edit {
class Object;
}
namespace Effect {
class EffectBase;
}

// Saving an object or one of its effects as an alias: the name and label
// asked for, the file written under the alias folder, and the alias lists
// built again so that the menus offer it at once under its label. UI thread
// only.
namespace Component {

// Whether the name can name an alias: not empty, none of \ / : * ? " ' < > | % = , .
bool isAliasName(const std::wstring& name);
// Writes the object as "<name>.object"; withFrames (saved from the timeline)
// keeps its start, midpoints and end. False when the user gave up.
bool saveObjectAlias(const std::shared_ptr<Edit::Object>& object, bool withFrames);
// Writes one effect of the object as "<name>.effect". False when the user gave up.
bool saveEffectAlias(const std::shared_ptr<Edit::Object>& object, const Effect::EffectBase& effect);

}  // namespace Component
