#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace System {
class File;
class IniFile;
}  // namespace System
namespace Effect {
class EffectBase;
}

namespace Edit {

class GroupNumberMap;
class Object;
class Scene;

// One object's section of a project or alias file, with its effect sections.
class LayerObjectManager {
public:
    // Layers beyond this index are refused when read: a file cannot make the
    // model allocate without bound.
    static constexpr int32_t kMaxLayer = 9999;

    static void saveObjectIniFile(System::File& file, int32_t sceneId, const std::string& sectionName,
                                  const Object& object, GroupNumberMap& groups, const Object* focusObject);
    // Creates the object on the scene; on failure it is taken out again and the exception passes on.
    static std::shared_ptr<Object> loadObjectIniFile(Scene& scene, System::IniFile& ini, const std::string& section,
                                                     GroupNumberMap& groups);
    // The object as a saved object: the Object section (with its frames when
    // withFrames), then one section per effect in chain order.
    static void saveObjectAliasFile(System::File& file, const Object& object, bool withFrames);
    // A saved effect: the one section "Effect.0" with the effect's body.
    static void saveEffectAliasFile(System::File& file, const Effect::EffectBase& effect);
    // A saved object (sections Object, Object.0, ...) as a new object on the
    // layer from the start frame, fitted into the layer's free space; its
    // saved length, or up to defaultEnd when the file gives none.
    static std::shared_ptr<Object> loadObjectAliasFile(Scene& scene, System::IniFile& ini, int32_t layer, int32_t start,
                                                       int32_t defaultEnd);
    // A saved effect (sections Effect.0, ...) as a new object from start to
    // defaultEnd, fitted the same way.
    static std::shared_ptr<Object> loadObjectAliasFileEffect(Scene& scene, System::IniFile& ini, int32_t layer,
                                                             int32_t start, int32_t defaultEnd);
    // The same for an object section of an object exchange file (1-based layer and frames).
    static std::shared_ptr<Object> loadObjectKtoFile(Scene& scene, System::IniFile& ini, const std::string& section,
                                                     GroupNumberMap& groups);
};

}  // namespace Edit
