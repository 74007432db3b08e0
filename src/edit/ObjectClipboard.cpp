#include "edit/ObjectClipboard.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unordered_map>

#include "core/File.h"
#include "core/IniFile.h"
#include "core/TextConvert.h"
#include "edit/EditService.h"
#include "edit/Group.h"
#include "edit/GroupNumberMap.h"
#include "edit/IniLines.h"
#include "edit/LayerObjectManager.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"

namespace Edit {
namespace {

constexpr const char* kHeader = "ObjectClipboard";

// A file of its own for one text exchange: the project file's writers and
// readers work on files.
class ScratchFile {
public:
    ScratchFile() {
        static std::atomic<uint64_t> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("velmo2-objects-" + std::to_string(stamp) + "-" + std::to_string(counter++) + ".txt");
    }
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    std::wstring path() const { return System::utf8ToWide(path_.string()); }
    std::string read() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void write(const std::string& text) const { std::ofstream(path_, std::ios::binary) << text; }

private:
    std::filesystem::path path_;
};

}  // namespace

ObjectRange ObjectClipboard::getObjectRange(const std::vector<std::shared_ptr<Object>>& objects) {
    ObjectRange range;
    if (objects.empty()) return range;
    range.lowestLayer = range.highestLayer = objects.front()->layer;
    range.lowestStart = objects.front()->start;
    range.highestEnd = objects.front()->end;
    for (const auto& o : objects) {
        auto [it, added] = range.layers.try_emplace(o->layer, ObjectRange::Span{o->start, o->end});
        if (!added) {
            it->second.start = std::min(it->second.start, o->start);
            it->second.end = std::max(it->second.end, o->end);
        }
        range.lowestLayer = std::min(range.lowestLayer, o->layer);
        range.highestLayer = std::max(range.highestLayer, o->layer);
        range.lowestStart = std::min(range.lowestStart, o->start);
        range.highestEnd = std::max(range.highestEnd, o->end);
    }
    return range;
}

void ObjectClipboard::clear() {
    objects.clear();
    range = ObjectRange{};
    publishedText.clear();
}

void ObjectClipboard::addObject(const Object& object) {
    auto copy = std::make_shared<Object>(object.layer, object.start, object.end);
    copy->clipping = object.clipping;
    copy->camera = object.camera;
    copy->midpoints = object.midpoints;
    object.copyEffectsTo(*copy);
    // The same group, without joining it: only its identity matters here.
    copy->group = object.group;
    objects.push_back(std::move(copy));
}

namespace {

// The scene object the block would overlap on one layer entry, walking back
// from the last object that starts at or before the entry's end.
const Object* overlapOnLayer(const Scene& scene, int64_t layer, int64_t start, int64_t end) {
    if (layer < 0 || layer >= scene.layerCount()) return nullptr;
    const SceneLayer& slot = scene.getLayer(static_cast<int32_t>(layer));
    const int32_t last = static_cast<int32_t>(std::clamp<int64_t>(end, INT32_MIN, INT32_MAX));
    for (size_t i = slot.upperBoundByStart(last); i-- > 0;) {
        const Object& o = *slot.objects[i];
        if (o.end < start) break;
        if (o.start <= end) return &o;
    }
    return nullptr;
}

}  // namespace

void ObjectClipboard::pasteAt(EditService& service, int32_t layer, int32_t frame) {
    range = getObjectRange(objects);
    const int64_t a = static_cast<int64_t>(layer) - range.lowestLayer;
    int64_t b = static_cast<int64_t>(frame) - range.lowestStart;
    const Scene& scene = *service.currentScene();
    for (bool moved = true; moved;) {
        moved = false;
        for (const auto& [l, span] : range.layers) {
            if (const Object* o = overlapOnLayer(scene, a + l, b + span.start, b + span.end)) {
                b = static_cast<int64_t>(o->end) - span.start + 1;
                moved = true;
                break;
            }
        }
    }
    paste(service, static_cast<int32_t>(a), static_cast<int32_t>(b));
}

bool ObjectClipboard::canPasteAt(const Scene& scene, int32_t frameOffset, int32_t& layerOffset) {
    if (range.layers.empty()) range = getObjectRange(objects);
    for (const auto& [l, span] : range.layers) {
        if (overlapOnLayer(scene, static_cast<int64_t>(layerOffset) + l, static_cast<int64_t>(frameOffset) + span.start,
                           static_cast<int64_t>(frameOffset) + span.end)) {
            ++layerOffset;
            return false;
        }
    }
    return true;
}

void ObjectClipboard::paste(EditService& service, int32_t layerOffset, int32_t frameOffset) {
    Undo::UndoService* undo = Undo::UndoService::get();
    auto scope = service.openSection();
    scope->layersChanged = true;
    scope->objectChanged = true;
    if (undo) undo->openRecord(*scope);
    Scene& scene = *scope->scene;
    // One new group for each group of the copies, in the order first met.
    std::unordered_map<const Group*, std::shared_ptr<Group>> groups;
    for (const auto& copy : objects) {
        auto object = scene.createObject(layerOffset + copy->layer, copy->start + frameOffset, copy->end + frameOffset);
        object->clipping = copy->clipping;
        object->camera = copy->camera;
        object->midpoints = copy->midpoints;
        copy->copyEffectsTo(*object);
        if (object->layerRangeControl) scene.layers[static_cast<size_t>(object->layer)]->rangesDirty = true;
        if (undo) undo->addObjectUndoCreate(object);
        if (copy->group) {
            auto& group = groups[copy->group.get()];
            if (!group) group = std::make_shared<Group>();
            if (undo) undo->addObjectUndoGroup(object);
            object->setGroup(group);
        }
    }
    range.layers.clear();
}

std::wstring ObjectClipboard::toText() const {
    ScratchFile scratch;
    {
        System::File file;
        file.open(scratch.path(), System::File::kWrite);
        IniLines::writeSection(file, kHeader);
        IniLines::writeInt(file, "count", static_cast<int64_t>(objects.size()));
        GroupNumberMap groups;
        for (size_t i = 0; i < objects.size(); ++i)
            LayerObjectManager::saveObjectIniFile(file, 0, std::to_string(i), *objects[i], groups, nullptr);
        file.close();
    }
    return System::utf8ToWide(scratch.read());
}

bool ObjectClipboard::loadText(const std::wstring& text) {
    const std::wstring header = std::wstring(L"[") + System::utf8ToWide(kHeader) + L"]";
    if (text.compare(0, header.size(), header) != 0) return false;
    try {
        ScratchFile scratch;
        scratch.write(System::wideToUtf8(text));
        System::IniFile ini;
        ini.loadFile(scratch.path());
        const int32_t count = ini.getSection(kHeader).getValue("count").toInt();
        if (count <= 0) return false;
        // Read on a scene of their own, then copied off it.
        Scene scene(0, 0);
        GroupNumberMap groups;
        ObjectClipboard read;
        for (int32_t i = 0; i < count; ++i)
            read.addObject(*LayerObjectManager::loadObjectIniFile(scene, ini, std::to_string(i), groups));
        objects = std::move(read.objects);
        range = ObjectRange{};
        publishedText = text;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace Edit
