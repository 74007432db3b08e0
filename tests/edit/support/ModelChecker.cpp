#include "edit/support/ModelChecker.h"

#include <algorithm>
#include <sstream>

#include "edit/Group.h"
#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemInteger.h"
#include "effect/MovementBase.h"

namespace EditTest {

using Effect::EffectBase;

namespace {

std::string where(const Edit::Object& o) {
    std::ostringstream s;
    s << "object " << o.layer << ":" << o.start << ".." << o.end << ": ";
    return s.str();
}

void checkChain(const Edit::Object& o, std::ostringstream& out) {
    const auto& e = o.effects;
    if (e.empty()) return;  // a bare object (the model allows it; commands never leave one)
    for (const auto& effect : e)
        if (!effect) out << where(o) << "null effect\n";
    switch (e.front()->role) {
    case EffectBase::kInput:
        if (e.size() < 2 || e[1]->role != EffectBase::kOutput)
            out << where(o) << "input without output at position 1\n";
        for (size_t i = 2; i < e.size(); ++i)
            if (e[i]->role != EffectBase::kFilter) out << where(o) << "non-filter after the output\n";
        break;
    case EffectBase::kFilter:
    case EffectBase::kControl:
        for (size_t i = 1; i < e.size(); ++i)
            if (e[i]->role != EffectBase::kFilter) out << where(o) << "non-filter behind the head\n";
        break;
    default: out << where(o) << "illegal top effect\n";
    }
}

}  // namespace

std::string checkObject(const Edit::Object& o) {
    std::ostringstream out;
    if (o.end < o.start) out << where(o) << "end before start\n";
    int32_t last = 0;
    for (int32_t m : o.midpoints) {
        if (m <= last) out << where(o) << "midpoint " << m << " not above " << last << "\n";
        if (m > o.end - o.start) out << where(o) << "midpoint " << m << " beyond the end\n";
        last = m;
    }
    checkChain(o, out);
    for (const auto* item : o.numberItems()) {
        if (item->movement->valueCount != -1) continue;
        const size_t want = (item->flags & Effect::EffectItemNumber::kIgnoreMidpoints) ? 2 : o.midpoints.size() + 2;
        if (item->values.size() != want)
            out << where(o) << "a number item has " << item->values.size() << " keys, want " << want << "\n";
    }
    if (o.group && !o.group->members.count(const_cast<Edit::Object*>(&o)))
        out << where(o) << "not in its group's set\n";
    return out.str();
}

std::string checkScene(const Edit::Scene& scene) {
    std::ostringstream out;
    if (scene.layers.empty()) out << "scene " << scene.id << ": no slot\n";
    int32_t lastUsed = 0, length = 0;
    for (int32_t i = 0; i < scene.layerCount(); ++i) {
        const Edit::SceneLayer& s = scene.getLayer(i);
        if (!s.layer || s.layer->index != i)
            out << "slot " << i << ": layer index " << (s.layer ? s.layer->index : -2) << "\n";
        if (s.needsSort || s.needsCompaction || s.rangesDirty) out << "slot " << i << ": flags left set\n";
        std::vector<Edit::SceneLayer::ControlRange> ranges;
        for (size_t k = 0; k < s.objects.size(); ++k) {
            const auto& o = *s.objects[k];
            if (o.layer != i) out << where(o) << "in slot " << i << "\n";
            if (k > 0 && s.objects[k - 1]->end >= o.start)
                out << where(o) << "overlaps or shares a start with the object before it\n";
            out << checkObject(o);
            if (o.layerRangeControl && !o.effects.empty()) {
                int32_t n = Edit::SceneLayer::kAllLayers;
                if (auto* r = o.effects.front()->getLayerRange(); r && r->value) n = r->value;
                ranges.push_back({o.start, o.end, n});
            }
        }
        if (ranges.size() != s.controlRanges.size() ||
            !std::equal(ranges.begin(), ranges.end(), s.controlRanges.begin(), [](const auto& a, const auto& b) {
                return a.start == b.start && a.end == b.end && a.layerCount == b.layerCount;
            }))
            out << "slot " << i << ": control ranges differ from its objects\n";
        if (!s.objects.empty()) {
            lastUsed = i;
            length = std::max(length, s.objects.back()->end);
        }
    }
    if (scene.lastUsedLayer != lastUsed || scene.length != length)
        out << "scene " << scene.id << ": last used layer " << scene.lastUsedLayer << " length " << scene.length
            << ", want " << lastUsed << " " << length << "\n";
    for (const auto& o : scene.selection.objects)
        if (!o->selected) out << where(*o) << "selected without its flag\n";
    // Every group member on the model is found back by the group walk.
    for (int32_t i = 0; i < scene.layerCount(); ++i)
        for (const auto& o : scene.getLayer(i).objects)
            if (o->group) {
                const auto members = scene.getGroupObjects(*o->group);
                if (std::find(members.begin(), members.end(), o) == members.end())
                    out << where(*o) << "not found among its group's members\n";
            }
    return out.str();
}

std::string checkProject(const Edit::Project& project) {
    std::string out;
    if (!project.scenes.empty() && !project.getScene(project.displayScene)) out += "current scene missing\n";
    for (const auto& [id, scene] : project.scenes) {
        if (scene->id != id) out += "scene stored under another id\n";
        out += checkScene(*scene);
    }
    return out;
}

}  // namespace EditTest
