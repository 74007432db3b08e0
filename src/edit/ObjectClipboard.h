#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Edit {

class EditService;
class Object;
class Scene;

// The extent of a block of objects: its layers and frames, and per layer the
// lowest start and highest end of the block's objects there.
struct ObjectRange {
    struct Span {
        int32_t start = 0;
        int32_t end = 0;
    };
    int32_t lowestLayer = 0;
    int32_t highestLayer = 0;
    int32_t lowestStart = 0;
    int32_t highestEnd = 0;
    std::map<int32_t, Span> layers;
};

// Detached copies of objects (their frames, layers, midpoints, flags, effect
// clones and the source's group) that copy, cut, paste and duplicate move
// around, with the search for a place where the block fits.
class ObjectClipboard {
public:
    std::vector<std::shared_ptr<Object>> objects;
    ObjectRange range;
    // The text last exchanged with the desktop clipboard for these copies.
    std::wstring publishedText;

    static ObjectRange getObjectRange(const std::vector<std::shared_ptr<Object>>& objects);

    bool empty() const { return objects.empty(); }
    void clear();
    // Appends a copy of the object.
    void addObject(const Object& object);
    // The block's top layer at layer, its first frame at frame or later:
    // shifted right until it fits on the current scene, then pasted.
    void pasteAt(EditService& service, int32_t layer, int32_t frame);
    // Whether the block fits with the offsets; when not, the layer offset moves one down.
    bool canPasteAt(const Scene& scene, int32_t frameOffset, int32_t& layerOffset);
    // New objects on the current scene, in one edit scope and one undo step;
    // copies that shared a group share one new group.
    void paste(EditService& service, int32_t layerOffset, int32_t frameOffset);

    // The copies in the project file's object form, under a header that marks
    // them; what the desktop clipboard carries between programs.
    std::wstring toText() const;
    // Copies read back from that text; false (the clipboard unchanged) when
    // the text is not such a block or cannot be read.
    bool loadText(const std::wstring& text);

private:
    // The first object of the scene the block overlaps with the offsets, or none.
    const Object* findOverlap(const Scene& scene, int64_t frameOffset, int64_t layerOffset) const;
};

}  // namespace Edit
