#pragma once
#include <string>
#include <string_view>

#include "core/IniFile.h"

namespace Effect {
class EffectBase;
}

namespace Edit {

class Project;
class Scene;

// Reading the earlier generation's object exchange file: its header becomes a
// scene's format, its object sections objects (chained sections merged into
// one object with midpoints), its old effect names and track values are
// converted through the "OldScript" tables of "effect.conf".
class ProjectConvert {
public:
    // Imports the file as a new scene of the project and makes it the
    // displayed scene; on failure the new scene is removed again, the error
    // text is posted and the result is false.
    static bool importSceneFromKto(Project& project, const std::wstring& path);
    // Fills an empty scene from the file. Throws when the file or its header
    // cannot be read; false when some object section was dropped (the
    // partial-failure text is then posted once).
    static bool loadSceneFromKto(Scene& scene, const std::wstring& path);
    // The registered name an effect section stands for.
    static std::wstring convertEffectName(const System::IniFile::SectionRef& section);
    // The definition of a name, trying the "OldScript" name table when the
    // name is not registered ("not found effect." when still not).
    static const Effect::EffectBase& findEffectWithOldName(const std::wstring& name);
    // An old track value ("a,b,mode[@script][,extra]") in the number item's text form.
    static std::string convertTrackValue(std::string_view value);
};

}  // namespace Edit
