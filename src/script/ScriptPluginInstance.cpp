#include "script/ScriptPluginInstance.h"

#include <algorithm>

#include "core/Exception.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/RenderContext.h"
#include "effect/ScriptMovement.h"
#include "media/gpu/ResourceBuffer.h"
#include "script/ScriptEffect.h"

namespace Plugin {

namespace {

// Each thread runs its own stack of instances, so runs of the two engines on
// different threads never see each other's current instance.
thread_local ScriptPluginInstance* tCurrentInstance = nullptr;

constexpr const char* kTargetScope = "Plugin::ScriptPluginInstance::getRenderVideoTarget";
constexpr const char* kEffectScope = "Plugin::ScriptPluginInstance::getEffect";

ScriptRecord movementRecord(const Effect::ScriptMovement& movement) {
    ScriptRecord record;
    record.name = movement.scriptName;
    record.information = movement.information;
    record.scriptText = movement.scriptText;
    return record;
}

}  // namespace

ScriptPluginInstance::ScriptPluginInstance(Effect::ScriptEffect& effect, const ScriptRecord& record,
                                           Render::RenderContext& context)
    : genericContext_(context), record_(record), renderContext_(&context), scriptEffect_(&effect) {}

ScriptPluginInstance::ScriptPluginInstance(const Effect::ScriptMovement& movement, const Effect::EffectItemNumber& item,
                                           const Render::SectionPosition& position, Render::RenderContext& context)
    : genericContext_(context),
      ownRecord_(movementRecord(movement)),
      record_(ownRecord_),
      movement_(&movement),
      movedItem_(&item),
      sectionPosition_(&position) {}

ScriptPluginInstance::~ScriptPluginInstance() = default;

void ScriptPluginInstance::executeEffect(const std::string&) {
    throw System::notImplementException("Plugin::ScriptPluginInstance::executeEffect");
}
double ScriptPluginInstance::executeMovement(const std::string&) {
    throw System::notImplementException("Plugin::ScriptPluginInstance::executeMovement");
}
void ScriptPluginInstance::setScriptVariables() {
    throw System::notImplementException("Plugin::ScriptPluginInstance::setScriptVariables");
}
double ScriptPluginInstance::getFieldNumber(const char*) {
    throw System::notImplementException("Plugin::ScriptPluginInstance::getFieldNumber");
}
void ScriptPluginInstance::setFieldNumber(const char*, double) {
    throw System::notImplementException("Plugin::ScriptPluginInstance::setFieldNumber");
}
void ScriptPluginInstance::setFieldBoolean(const char*, bool) {
    throw System::notImplementException("Plugin::ScriptPluginInstance::setFieldBoolean");
}

ScriptPluginInstance* ScriptPluginInstance::current() { return tCurrentInstance; }
void ScriptPluginInstance::setCurrent(ScriptPluginInstance* instance) { tCurrentInstance = instance; }

void ScriptPluginInstance::setObjectImage(std::shared_ptr<Media::ResourceBuffer> image) {
    objectImage_ = std::move(image);
}

Render::RenderContext& ScriptPluginInstance::getRenderVideoTarget() const {
    if (renderContext_ == nullptr) throw System::messageException(kTargetScope, "not effect script.");
    return *renderContext_;
}

Effect::ScriptEffect& ScriptPluginInstance::getEffect() const {
    if (scriptEffect_ == nullptr) throw System::messageException(kEffectScope, "not effect script.");
    return *scriptEffect_;
}

void ScriptPluginInstance::setObjectVariables() {
    Render::RenderContext& context = getRenderVideoTarget();
    const double width = objectImage_ ? objectImage_->width : 0;
    const double height = objectImage_ ? objectImage_->height : 0;
    setFieldNumber("w", width);
    setFieldNumber("h", height);
    setFieldNumber("index", context.index);
    setFieldNumber("num", context.count);
    const Edit::Object* object = context.object.get();
    const Edit::Scene* scene = context.scene;
    const int32_t start = object ? object->start : 0;
    const int32_t end = object ? object->end : 0;
    const double rate = scene ? scene->videoRate : 30;
    const double scale = scene ? scene->videoScale : 1;
    const int32_t totalFrames = end - start + 1;
    setFieldNumber("frame", context.frame - start);
    setFieldNumber("time", (static_cast<double>(context.frame) - start) * scale / rate);
    setFieldNumber("totalframe", totalFrames);
    setFieldNumber("totaltime", scale * totalFrames / rate);
    setFieldNumber("framerate", rate / scale);
    setFieldNumber("screen_w", scene ? scene->videoWidth : 0);
    setFieldNumber("screen_h", scene ? scene->videoHeight : 0);
    setFieldNumber("layer", object ? object->layer + 1 : 0);

    if (getEffect().media != Effect::EffectBase::kVideo) return;
    const Effect::OutputView& offsets = context.view;
    const Effect::OutputView view = context.getOutputView();
    setFieldNumber("x", view.x - offsets.x);
    setFieldNumber("y", view.y - offsets.y);
    setFieldNumber("z", view.z - offsets.z);
    setFieldNumber("ox", offsets.x);
    setFieldNumber("oy", offsets.y);
    setFieldNumber("oz", offsets.z);
    setFieldNumber("rx", offsets.rotationX);
    setFieldNumber("ry", offsets.rotationY);
    setFieldNumber("rz", offsets.rotationZ);
    setFieldNumber("cx", offsets.centerX);
    setFieldNumber("cy", offsets.centerY);
    setFieldNumber("cz", offsets.centerZ);
    setFieldNumber("zoom", std::max({offsets.scaleX, offsets.scaleY, offsets.scaleZ}));
    const float sx = offsets.scaleX;
    const float sy = offsets.scaleY;
    double aspect = 0;
    if (sx > 0 || sy > 0) aspect = sy > sx ? 1.0 - sx / sy : sy / sx - 1.0;
    setFieldNumber("aspect", aspect);
    setFieldNumber("alpha", offsets.opacity);
}

void ScriptPluginInstance::getObjectVariables() {
    Render::RenderContext& context = getRenderVideoTarget();
    if (getEffect().media != Effect::EffectBase::kVideo) return;
    Effect::OutputView& view = context.view;
    view.x = static_cast<float>(getFieldNumber("ox"));
    view.y = static_cast<float>(getFieldNumber("oy"));
    view.z = static_cast<float>(getFieldNumber("oz"));
    view.rotationX = static_cast<float>(getFieldNumber("rx"));
    view.rotationY = static_cast<float>(getFieldNumber("ry"));
    view.rotationZ = static_cast<float>(getFieldNumber("rz"));
    view.centerX = static_cast<float>(getFieldNumber("cx"));
    view.centerY = static_cast<float>(getFieldNumber("cy"));
    view.centerZ = static_cast<float>(getFieldNumber("cz"));

    const double zoom = getFieldNumber("zoom");
    const float largest = std::max({view.scaleX, view.scaleY, view.scaleZ});
    if (largest <= 0) {
        view.scaleX = static_cast<float>(zoom);
        view.scaleY = static_cast<float>(zoom);
    } else {
        const double factor = zoom / largest;
        view.scaleX = static_cast<float>(view.scaleX * factor);
        view.scaleY = static_cast<float>(view.scaleY * factor);
        view.scaleZ = static_cast<float>(view.scaleZ * factor);
    }

    const double aspect = getFieldNumber("aspect");
    const double larger = std::max(view.scaleX, view.scaleY);
    if (aspect < 0) {
        view.scaleX = static_cast<float>(larger);
        view.scaleY = static_cast<float>((1 + aspect) * larger);
    } else {
        view.scaleX = static_cast<float>((1 - aspect) * larger);
        view.scaleY = static_cast<float>(larger);
    }
    view.opacity = static_cast<float>(getFieldNumber("alpha"));
}

}  // namespace Plugin
