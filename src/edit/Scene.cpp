#include "edit/Scene.h"

#include <algorithm>
#include <limits>

#include "core/IniFile.h"
#include "core/Log.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "edit/FrameRate.h"
#include "edit/Group.h"
#include "edit/IniLines.h"
#include "edit/Layer.h"
#include "edit/Object.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemInteger.h"
#include "edit/PopupMenu.h"
#include "edit/SceneCommands.h"

namespace Edit {

using Effect::EffectBase;

// Selection

bool Scene::Selection::contains(const Object* object) const {
    return std::any_of(objects.begin(), objects.end(), [&](const auto& o) { return o.get() == object; });
}

void Scene::Selection::append(const std::shared_ptr<Object>& object) {
    if (object->layerRangeControl) controlSelected = true;
    highestLayer = std::max(highestLayer, object->layer);
    reclicked = nullptr;
    object->selected = true;
    objects.push_back(object);
}

void Scene::Selection::add(const std::shared_ptr<Object>& object, const Scene& scene) {
    if (contains(object.get())) {
        reclicked = object.get();
        return;
    }
    if (scene.getLayer(object->layer).layer->lock) return;
    append(object);
}

bool Scene::Selection::addGroup(const std::shared_ptr<Object>& object, const Scene& scene) {
    if (contains(object.get())) return false;
    if (!object->group) {
        add(object, scene);
        return true;
    }
    for (const auto& member : scene.getGroupObjects(*object->group)) add(member, scene);
    return true;
}

void Scene::Selection::clear() {
    for (const auto& o : objects) o->selected = false;
    objects.clear();
    reclicked = nullptr;
    controlSelected = false;
    highestLayer = 0;
}

// Scene

Scene::Scene(int32_t id, int32_t order) : name(getDefaultName(id)), id(id), displayOrder(order) {
    layers.push_back(std::make_unique<SceneLayer>(0));
}

Scene::~Scene() = default;

namespace {

// The word in the active language's Name table; the built-in word otherwise.
std::wstring nameWord(const wchar_t* word) {
    return Translate::translated(Translate::TranslateService::Table::Name, word);
}

}  // namespace

std::wstring Scene::getDefaultName(int32_t id) {
    if (id == 0) return nameWord(L"Root");
    return nameWord(L"Scene") + std::to_wstring(id);
}

const SceneLayer& Scene::getLayer(int32_t index) const {
    if (index < 0 || index >= layerCount()) return SceneLayer::empty();
    return *layers[static_cast<size_t>(index)];
}

void Scene::reserveLayer(int32_t index) {
    while (layerCount() <= index) layers.push_back(std::make_unique<SceneLayer>(layerCount()));
}

int32_t Scene::lastKeptLayer() const {
    int32_t last = std::min(lastUsedLayer, layerCount() - 1);
    for (int32_t i = layerCount() - 1; i > last; --i)
        if (!getLayer(i).layer->isDefault()) return i;
    return last;
}

std::shared_ptr<Layer> Scene::insertLayer(int32_t position, const std::shared_ptr<Layer>& layer) {
    // The spare slot lies above every layer in use, named, locked or hidden,
    // so that moving it down shifts all of them and drops none.
    const int32_t spare = lastKeptLayer() + 1;
    reserveLayer(std::max(spare, position));
    moveLayer(spare, position);
    SceneLayer& s = slot(position);
    if (layer) {
        s.layer = layer;
        return layer;
    }
    return s.resetLayer();
}

std::shared_ptr<Layer> Scene::deleteLayer(int32_t index) {
    if (index < 0 || index >= layerCount()) return nullptr;
    SceneLayer& s = slot(index);
    for (const auto& o : s.objects) o->layer = -1;
    s.objects.clear();
    s.controlRanges.clear();
    s.needsSort = s.needsCompaction = s.rangesDirty = false;
    // Only a slot below the last kept one moves there (named empty layers
    // shift down with the rest); moving an empty slot beyond it down would
    // push the layers below it up.
    const int32_t target = lastKeptLayer();
    if (index < target) {
        moveLayer(index, target);
        return slot(target).resetLayer();
    }
    return slot(index).resetLayer();
}

bool Scene::moveLayer(int32_t from, int32_t to) {
    if (from == to || from < 0 || to < 0 || from >= layerCount() || to >= layerCount()) return false;
    const int32_t step = from < to ? 1 : -1;
    for (int32_t i = from; i != to; i += step) {
        const int32_t j = i + step;
        // Entries waiting for compaction (moved to another layer) keep their layer.
        for (const auto& o : slot(i).objects)
            if (o->layer == i) o->layer = j;
        for (const auto& o : slot(j).objects)
            if (o->layer == j) o->layer = i;
        std::swap(layers[static_cast<size_t>(i)], layers[static_cast<size_t>(j)]);
        std::swap(slot(i).layer->index, slot(j).layer->index);
    }
    return true;
}

std::shared_ptr<Object> Scene::createObject(int32_t layer, int32_t start, int32_t end) {
    reserveLayer(layer);
    auto object = std::make_shared<Object>(layer, start, end);
    SceneLayer& s = slot(layer);
    s.objects.push_back(object);
    s.needsSort = true;
    s.rangesDirty = true;
    return object;
}

std::shared_ptr<Object> Scene::createObject(const std::wstring& effectName, int32_t layer, int32_t start, int32_t end) {
    reserveLayer(layer);
    auto object = std::make_shared<Object>(layer, start, end);
    SceneLayer& s = slot(layer);
    s.objects.push_back(object);
    s.needsSort = true;
    try {
        object->addEffect(effectName);
    } catch (...) {
        auto it = std::find(s.objects.begin(), s.objects.end(), object);
        if (it != s.objects.end()) s.objects.erase(it);
        object->layer = -1;
        throw;
    }
    if (object->layerRangeControl) s.rangesDirty = true;
    return object;
}

void Scene::moveObjectToLayer(const std::shared_ptr<Object>& object, int32_t layer) {
    reserveLayer(layer);
    if (object->layer >= 0 && object->layer < layerCount()) {
        SceneLayer& from = slot(object->layer);
        from.needsCompaction = true;
        if (object->layerRangeControl) from.rangesDirty = true;
    }
    object->layer = layer;
    SceneLayer& to = slot(layer);
    to.objects.push_back(object);
    to.needsSort = true;
    if (object->layerRangeControl) to.rangesDirty = true;
}

void Scene::resizeObjectLength(Object& object, int32_t length, bool keepEnd) {
    if (!object.midpoints.empty()) return;
    const int32_t span = length >= 2 ? length - 1 : 0;
    if (static_cast<int64_t>(object.start) + span == object.end) return;
    if (span < object.end - object.start) {
        if (keepEnd)
            object.start = object.end - span;
        else
            object.end = object.start + span;
        return;
    }
    const SceneLayer& s = getLayer(object.layer);
    if (keepEnd) {
        int32_t newStart = object.end - span;
        const size_t at = s.upperBoundByStart(object.start - 1);
        if (at > 0) newStart = std::max(newStart, s.objects[at - 1]->end + 1);
        object.start = newStart;
    } else {
        int32_t newEnd = object.start + span;
        const size_t at = s.lowerBoundByEnd(object.end + 1);
        if (at < s.objects.size()) newEnd = std::min(newEnd, s.objects[at]->start - 1);
        object.end = newEnd;
    }
}

void Scene::stretchObjectLength(Object& object, int32_t length) {
    // In 64 bits and saturated to the frame range: a huge length stretches to the last frame.
    constexpr int64_t kLow = std::numeric_limits<int32_t>::min();
    constexpr int64_t kHigh = std::numeric_limits<int32_t>::max();
    int64_t newEnd = std::clamp<int64_t>(static_cast<int64_t>(object.start) + length - 1, kLow, kHigh);
    const SceneLayer& s = getLayer(object.layer);
    const size_t at = s.lowerBoundByEnd(object.end + 1);
    int64_t limit = kHigh;
    if (at < s.objects.size()) limit = static_cast<int64_t>(s.objects[at]->start) - 1;
    newEnd = std::min(newEnd, limit);
    if (newEnd == object.end) return;
    const int64_t d = static_cast<int64_t>(object.end) - object.start;
    const float x = static_cast<float>(newEnd - object.start) / static_cast<float>(d < 2 ? 1 : d);
    int64_t p = 0;
    for (int32_t& m : object.midpoints) {
        const float scaled = std::clamp(static_cast<float>(m) * x, -2147483648.0f, 2147483520.0f);
        p = std::min(std::max(p + 1, static_cast<int64_t>(scaled)), kHigh - 1);
        m = static_cast<int32_t>(p);
    }
    // The end stays one frame past the last midpoint, yet never reaches the
    // next object: a midpoint on the last frame then stays where it was.
    object.end =
        static_cast<int32_t>(std::min(std::max(newEnd, object.start + p + 1), std::max(limit, object.start + p)));
}

size_t Scene::firstRangeReaching(const SceneLayer& slot, int32_t from) {
    const auto& r = slot.controlRanges;
    return static_cast<size_t>(
        std::partition_point(r.begin(), r.end(), [&](const SceneLayer::ControlRange& c) { return c.end < from; }) -
        r.begin());
}

std::shared_ptr<Object> Scene::findLayerObject(int32_t layer, int32_t frame, int32_t media) const {
    const SceneLayer& s = getLayer(layer);
    if (s.layer->hide) return nullptr;
    const size_t at = s.lowerBoundByEnd(frame);
    if (at >= s.objects.size()) return nullptr;
    const auto& object = s.objects[at];
    if (object->start > frame || frame > object->end || object->effects.empty()) return nullptr;
    const EffectBase& first = *object->effects.front();
    const bool enabled = first.role == EffectBase::kFilter ? std::any_of(object->effects.begin(), object->effects.end(),
                                                                         [](const auto& e) { return !e->disabled; })
                                                           : !first.disabled;
    if (!enabled) return nullptr;
    if (media == 0 || EffectManager::fitsMedia(first.media, media)) return object;
    return nullptr;
}

std::vector<std::shared_ptr<Object>> Scene::getGroupObjects(const Group& group) const {
    std::vector<std::shared_ptr<Object>> members;
    for (const Object* member : group.members) {
        if (member->layer == -1) continue;
        if (auto found = getLayer(member->layer).findNearestObject(member->start, member->start))
            members.push_back(std::move(found));
    }
    return members;
}

bool Scene::anyTargetObject(ObjectPredicate predicate) const {
    if (selection.objects.empty()) return focusObject && focusObject->layer != -1 && predicate(focusObject);
    for (const auto& object : selection.objects)
        if (predicate(object)) return true;
    return false;
}

void Scene::update() {
    lastUsedLayer = 0;
    length = 0;
    for (int32_t i = 0; i < layerCount(); ++i) {
        SceneLayer& s = slot(i);
        if (s.needsCompaction) {
            std::erase_if(s.objects, [&](const auto& o) { return o->layer != i; });
            s.needsCompaction = false;
        }
        if (s.needsSort) {
            std::sort(s.objects.begin(), s.objects.end(),
                      [](const auto& a, const auto& b) { return a->start < b->start; });
            s.needsSort = false;
        }
        if (s.rangesDirty) {
            s.controlRanges.clear();
            for (const auto& o : s.objects) {
                if (!o->layerRangeControl || o->effects.empty()) continue;
                int32_t n = SceneLayer::kAllLayers;
                if (auto* range = o->effects.front()->getLayerRange(); range && range->value != 0) n = range->value;
                s.controlRanges.push_back({o->start, o->end, n});
            }
            s.rangesDirty = false;
        }
        if (!s.objects.empty()) {
            length = std::max(length, s.objects.back()->end);
            lastUsedLayer = i;
        }
    }
}

void Scene::clear() {
    for (const auto& s : layers)
        for (const auto& o : s->objects) o->layer = -1;
    layers.clear();
    layers.push_back(std::make_unique<SceneLayer>(0));
    update();
}

}  // namespace Edit

// ---- project file pieces

namespace Edit {

void Scene::saveIniFile(System::File& file, int32_t index) const {
    IniLines::writeSection(file, "scene." + std::to_string(index));
    IniLines::writeInt(file, "scene", id);
    if (!name.empty()) System::IniFile::writeKeyValue(file, "name", name);
    IniLines::writeInt(file, "video.width", videoWidth);
    IniLines::writeInt(file, "video.height", videoHeight);
    IniLines::writeInt(file, "video.rate", videoRate);
    IniLines::writeInt(file, "video.scale", videoScale);
    IniLines::writeInt(file, "audio.rate", audioRate);
    IniLines::writeInt(file, "cursor.frame", cursorFrame);
    IniLines::writeInt(file, "display.frame", displayFrame);
    IniLines::writeInt(file, "display.layer", displayLayer);
    IniLines::writeInt(file, "display.zoom", displayZoom.value);
    IniLines::writeInt(file, "display.order", displayOrder);
    IniLines::writeRaw(file, "display.camera=" + camera.toString());
}

void Scene::setName(std::wstring text) {
    System::replaceLineBreaks(text);
    name = std::move(text);
}

bool Scene::loadIniFile(const System::IniFile& ini, const std::string& sectionName) {
    const auto found = ini.sections().find(sectionName);
    if (found == ini.sections().end()) return true;
    const System::IniFile::SectionRef section(sectionName, &found->second);
    bool sound = true;
    // A value the model cannot work with keeps the default and is reported.
    const auto checked = [&](const char* key, int32_t value, int32_t low, int32_t high, int32_t& field) {
        if (value >= low && value <= high) {
            field = value;
            return;
        }
        sound = false;
        System::Log::warn("Edit::Scene::loadIniFile", "[%s] %s=%d is out of range; %d is kept instead",
                          sectionName.c_str(), key, value, field);
    };
    setName(section.findValue("name").toString({}));
    if (name.empty()) name = getDefaultName(id);
    constexpr int32_t kMaxSize = 16384;
    constexpr int32_t kMax = 0x7fffffff;
    checked("video.width", section.getValue("video.width").toInt(), 1, kMaxSize, videoWidth);
    checked("video.height", section.getValue("video.height").toInt(), 1, kMaxSize, videoHeight);
    checked("video.rate", section.getValue("video.rate").toInt(), 1, kMax, videoRate);
    checked("video.scale", section.getValue("video.scale").toInt(), 1, kMax, videoScale);
    checked("audio.rate", section.findValue("audio.rate").toInt(48000), 1, kMax, audioRate);
    checked("cursor.frame", section.findValue("cursor.frame").toInt(0), 0, kMax, cursorFrame);
    checked("display.frame", section.findValue("display.frame").toInt(0), 0, kMax, displayFrame);
    checked("display.layer", section.findValue("display.layer").toInt(0), 0, kMax, displayLayer);
    displayZoom = FrameZoom(section.findValue("display.zoom").toInt(displayZoom.value), displayZoom.normalizer);
    displayOrder = section.findValue("display.order").toInt(id);
    camera.fromString(section.findValue("display.camera").text);
    return sound;
}

bool Scene::loadKtoHeader(const System::IniFile::SectionRef& section, const std::wstring& sceneName) {
    setName(sceneName.empty() ? getDefaultName(id) : sceneName);
    bool sound = true;
    // A value the model cannot work with (a zero rate divides) keeps the default and is reported.
    const auto checked = [&](int32_t value, int32_t low, int32_t high, int32_t& field) {
        if (value < low || value > high)
            sound = false;
        else
            field = value;
    };
    constexpr int32_t kMaxSize = 16384;
    constexpr int32_t kMax = 0x7fffffff;
    const int32_t width = section.getValue("width").toInt();
    const int32_t height = section.getValue("height").toInt();
    const int32_t rate = section.getValue("rate").toInt();
    const int32_t scale = section.getValue("scale").toInt();
    const int32_t audio = section.findValue("audio_rate").toInt(48000);
    checked(width, 1, kMaxSize, videoWidth);
    checked(height, 1, kMaxSize, videoHeight);
    checked(rate, 1, kMax, videoRate);
    checked(scale, 1, kMax, videoScale);
    checked(audio, 1, kMax, audioRate);
    return sound;
}

// Menu and information tip

namespace {

Scene::InfoTipShow& infoTipShow() {
    static Scene::InfoTipShow show;
    return show;
}

}  // namespace

void Scene::insertSceneMenu(PopupMenu& menu, SceneCommands& commands) const {
    const int32_t sceneId = id;
    SceneCommands* target = &commands;
    menu.insertItem(L"シーンを新規作成", true, [target] { target->newScene(); });
    menu.insertItem(L"シーンを削除", sceneId != 0, [target, sceneId] { target->deleteScene(sceneId); });
    menu.insertSeparator();
    menu.insertItem(L"シーン名を変更", true, [target, sceneId] { target->renameScene(sceneId); });
    menu.insertItem(L"シーンの設定", true, [target, sceneId] { target->settingScene(sceneId); });
}

std::wstring Scene::getInfoText() const {
    // length is the highest end frame of the objects.
    const double seconds =
        videoRate > 0 ? static_cast<double>(length) * videoScale / static_cast<double>(videoRate) : 0.0;
    wchar_t time[16];
    System::formatTimeSeconds(time, seconds);
    std::wstring text = name + L"\nTotalTime: " + time + L"\n";
    text += L"Video: " + std::to_wstring(videoWidth) + L" x " + std::to_wstring(videoHeight) + L" / " +
            System::formatDecimal(getFrameRateValue(videoRate, videoScale)) + L"fps\n";
    text += L"Audio: " + System::formatDecimal(audioRate / 1000.0) + L"khz\n";
    return text;
}

void Scene::showInfoToolTip() const {
    if (infoTipShow())  // none until the tool-tip service exists
        infoTipShow()(getInfoText());
}

void Scene::showInfoTip(const std::wstring& text) {
    if (infoTipShow()) infoTipShow()(text);
}

Scene::InfoTipShow Scene::setInfoTipShow(InfoTipShow show) {
    std::swap(infoTipShow(), show);
    return show;
}

}  // namespace Edit
