#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "edit/EffectManager.h"

namespace Effect {
struct ItemEvent;
}
namespace System {
class File;
}

namespace Edit {

class Group;
class Scene;

// One clip on a layer: an inclusive frame range cut into sections by
// midpoints, and its effect chain. An object off the model keeps its data and
// has the layer -1.
class Object : public EffectManager, public std::enable_shared_from_this<Object> {
public:
    std::shared_ptr<Group> group;
    int32_t start;
    int32_t end;
    std::vector<int32_t> midpoints;  // offsets from start, ascending, 1 .. end - start
    int32_t layer;
    bool clipping = false;
    bool camera = true;
    bool selected = false;

    Object(int32_t layer, int32_t start, int32_t end);
    ~Object();

    // Joins the group (leaving any former one); none just leaves.
    void setGroup(const std::shared_ptr<Group>& newGroup);
    void removeFromGroup();

    // The section holding the frame: the number of midpoints at or before it.
    int32_t getSectionIndex(int32_t frame) const;
    int32_t sectionCount() const { return static_cast<int32_t>(midpoints.size()) + 1; }
    int32_t sectionFirstFrame(int32_t section) const;
    // The measure that decides whether a section can take a midpoint (> 1).
    int32_t sectionSpan(int32_t section) const;

    bool hasMultiFrameSection(int32_t frame) const;
    bool canCreateSection(int32_t frame) const;
    void addSection(int32_t frame, const ValueMap* captured = nullptr);
    void removeSection(int32_t index);
    // Makes two new objects from this one at frame f (f - 1 ends the first).
    bool split(int32_t f, const std::shared_ptr<Object>& first, const std::shared_ptr<Object>& second, Scene& scene);
    // Appends this object to the directly preceding one as a further section.
    bool join(Object& previous);
    void sendInputEffectEvent(Effect::ItemEvent& event);

    // Pieces of the object's project-file section.
    void saveFrameIniFile(System::File& file) const;
    void saveFlagIniFile(System::File& file) const;
    void loadFlagIniFile(const System::IniFile::SectionRef& section);
    void saveEffectIniFile(System::File& file, const std::string& sectionName) const;
    void loadEffectIniFile(System::IniFile& ini, const std::string& sectionName);
    // Adds the effects of a saved effect; a new filter placed last moves up
    // to stand behind target (or behind the last effect that is no filter).
    // Effects added before a failure stay.
    void loadEffectAliasFile(System::IniFile& ini, const Effect::EffectBase* target);
    // The camera flag and the effect sections of an object exchange file's object.
    void loadEffectKtoFile(System::IniFile& ini, const std::string& sectionName);

    // Every number item of the chain, in chain and item order.
    std::vector<Effect::EffectItemNumber*> numberItems() const;
};

}  // namespace Edit
