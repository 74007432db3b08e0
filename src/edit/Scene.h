#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/IniFile.h"
#include "edit/DisplayCamera.h"
#include "edit/FrameZoom.h"
#include "edit/SceneLayer.h"
#include "edit/UndoHistory.h"

namespace System {
class File;
class IniFile;
}  // namespace System

namespace Edit {

class Group;
class Layer;
class Object;
class PopupMenu;
class SceneCommands;

// One timeline: numbered layer slots (always at least one) with their
// objects, the video and audio format, the view state and its own undo history.
class Scene {
public:
    // The selected objects of the scene.
    class Selection {
    public:
        std::vector<std::shared_ptr<Object>> objects;
        const Object* reclicked = nullptr;
        bool controlSelected = false;
        int32_t highestLayer = 0;

        void add(const std::shared_ptr<Object>& object, const Scene& scene);
        bool addGroup(const std::shared_ptr<Object>& object, const Scene& scene);
        void clear();

    private:
        bool contains(const Object* object) const;
        void append(const std::shared_ptr<Object>& object);
    };

    int32_t lastUsedLayer = 0;
    int32_t length = 0;
    std::vector<std::unique_ptr<SceneLayer>> layers;
    Undo::UndoHistory undoHistory;
    std::wstring name;
    int32_t id;
    int32_t videoRate = 30;
    int32_t videoScale = 1;
    int32_t videoWidth = 1920;
    int32_t videoHeight = 1080;
    int32_t audioRate = 48000;
    int32_t cursorFrame = 0;
    bool playing = false;
    int32_t playFrame = 0;
    std::shared_ptr<Object> focusObject;
    int32_t selectedStart = -1;
    int32_t selectedEnd = -1;
    Effect::DisplayCamera camera;
    int32_t displayFrame = 0;
    int32_t displayLayer = 0;
    FrameZoom displayZoom;
    Selection selection;
    int32_t displayOrder;

    Scene(int32_t id, int32_t order);
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    static std::wstring getDefaultName(int32_t id);

    const SceneLayer& getLayer(int32_t index) const;
    int32_t layerCount() const { return static_cast<int32_t>(layers.size()); }
    void reserveLayer(int32_t index);
    std::shared_ptr<Layer> insertLayer(int32_t position, const std::shared_ptr<Layer>& layer = nullptr);
    std::shared_ptr<Layer> deleteLayer(int32_t index);
    bool moveLayer(int32_t from, int32_t to);

    std::shared_ptr<Object> createObject(int32_t layer, int32_t start, int32_t end);
    std::shared_ptr<Object> createObject(const std::wstring& effectName, int32_t layer, int32_t start, int32_t end);
    void moveObjectToLayer(const std::shared_ptr<Object>& object, int32_t layer);
    void resizeObjectLength(Object& object, int32_t length, bool keepEnd);
    void stretchObjectLength(Object& object, int32_t length);

    // callback(start, end, reaches exactly) for each control range of the
    // layers above L that reaches L inside [from, to].
    template <class F>
    void forEachControlRange(int32_t layer, int32_t from, int32_t to, F&& callback) const;
    std::shared_ptr<Object> findLayerObject(int32_t layer, int32_t frame, int32_t media) const;
    std::vector<std::shared_ptr<Object>> getGroupObjects(const Group& group) const;
    // Whether the predicate holds for an object the next command acts on: a
    // selected one, or the focus object (on a layer) when nothing is selected.
    using ObjectPredicate = std::function<bool(const std::shared_ptr<Object>&)>;
    bool anyTargetObject(ObjectPredicate predicate) const;

    // The scene's context menu: new scene, delete (grayed for the root
    // scene), a separator, rename and settings, carried out by commands
    // (the edit service), which must outlive the menu.
    void insertSceneMenu(PopupMenu& menu, SceneCommands& commands) const;
    // Name and total time, video format and audio rate, one line each.
    std::wstring getInfoText() const;
    // Shows getInfoText through the installed tip.
    void showInfoToolTip() const;
    // The window layer's tool-tip service: shows the text at the mouse,
    // moved down by the cursor's height, without time-out. Returns the
    // previous one.
    using InfoTipShow = std::function<void(const std::wstring& text)>;
    static InfoTipShow setInfoTipShow(InfoTipShow show);
    // Any text through the same tip (the sources' file information).
    static void showInfoTip(const std::wstring& text);

    // Puts the slots in order after an edit: compaction, sort, control ranges, length.
    void update();
    void clear();

    // The scene keys of the project file; loadIniFile returns false when a
    // value was unsound and the default was kept.
    void saveIniFile(System::File& file, int32_t index) const;
    // Names enter the scene through here: a line break becomes a blank, so
    // the name fits on one line of the project file.
    void setName(std::wstring text);
    bool loadIniFile(const System::IniFile& ini, const std::string& section);
    // The header of an object exchange file and the scene's name (the
    // default name when empty); false when a value was unsound and the
    // default was kept. A missing or unreadable required key throws.
    bool loadKtoHeader(const System::IniFile::SectionRef& section, const std::wstring& sceneName);

private:
    // The highest slot holding an object (as of the last update) or a layer
    // that is named, locked or hidden.
    int32_t lastKeptLayer() const;
    SceneLayer& slot(int32_t index) { return *layers[static_cast<size_t>(index)]; }
    // Where a control range search starts: the first range whose end >= from.
    static size_t firstRangeReaching(const SceneLayer& slot, int32_t from);
};

template <class F>
void Scene::forEachControlRange(int32_t layer, int32_t from, int32_t to, F&& callback) const {
    for (int32_t i = 0; i < layer && i < layerCount(); ++i) {
        const SceneLayer& s = *layers[static_cast<size_t>(i)];
        for (size_t r = firstRangeReaching(s, from); r < s.controlRanges.size(); ++r) {
            const auto& range = s.controlRanges[r];
            if (range.start > to) break;
            const int64_t reach = static_cast<int64_t>(i) + range.layerCount;
            if (reach < layer) continue;
            callback(range.start, range.end, reach == layer);
        }
    }
}

}  // namespace Edit
