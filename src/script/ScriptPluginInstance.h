#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "script/ScriptRecord.h"

namespace Media {
class ResourceBuffer;
class ImageBuffer;
}  // namespace Media
namespace Render {
class RenderContext;
struct SectionPosition;
}  // namespace Render
namespace Effect {
class ScriptEffect;
class ScriptMovement;
class EffectItemNumber;
}  // namespace Effect

namespace Plugin {

// One run of one script: made by the script's engine, used once, destroyed.
// While it lives it is the current instance of its thread, through which the
// script library finds the object, the context and the image it works on.
class ScriptPluginInstance {
public:
    ScriptPluginInstance(const ScriptPluginInstance&) = delete;
    ScriptPluginInstance& operator=(const ScriptPluginInstance&) = delete;

    virtual ~ScriptPluginInstance();
    virtual void executeEffect(const std::string& scriptText);
    virtual double executeMovement(const std::string& scriptText);
    // Writes the object's values into the table "obj" (inside a variable access).
    virtual void setObjectVariables();
    // Reads the values a script may change back into the render context.
    virtual void getObjectVariables();
    virtual void setScriptVariables();
    // Field access on the table a variable access section has pushed.
    virtual double getFieldNumber(const char* name);
    virtual void setFieldNumber(const char* name, double value);
    virtual void setFieldBoolean(const char* name, bool value);

    // The instance on top of this thread's instance stack, or none.
    static ScriptPluginInstance* current();

    // Replaces the image the script works on (none releases it).
    void setObjectImage(std::shared_ptr<Media::ResourceBuffer> image);
    const std::shared_ptr<Media::ResourceBuffer>& objectImage() const { return objectImage_; }
    std::shared_ptr<Media::ResourceBuffer> takeObjectImage() { return std::move(objectImage_); }

    // Effect runs only; both throw "not effect script." otherwise.
    Render::RenderContext& getRenderVideoTarget() const;
    Effect::ScriptEffect& getEffect() const;
    bool hasRenderContext() const { return renderContext_ != nullptr; }

    Render::RenderContext& genericContext() const { return genericContext_; }
    const ScriptRecord& record() const { return record_; }
    const Effect::ScriptMovement* movement() const { return movement_; }
    const Effect::EffectItemNumber* movedItem() const { return movedItem_; }
    const Render::SectionPosition* sectionPosition() const { return sectionPosition_; }

    std::wstring messageText;          // what `mes` appended
    float sceneChangeProgress = 0.0f;  // set by a scene change before its run
    uint8_t drawn = 0;                 // set by the drawing functions
    // The buffer the drawing functions draw into instead of the frame, or none.
    std::shared_ptr<Media::ResourceBuffer> drawTarget;
    // Pixel reads: source 0 the object image, 1 the frame buffer; type 0
    // "col", 1 "rgb", 2 "yc"; the 8-bit BGRA copy read from, made on first read.
    int32_t pixelSource = 0;
    int32_t pixelType = 0;
    std::shared_ptr<Media::ImageBuffer> pixelCopy;

protected:
    // An effect run.
    ScriptPluginInstance(Effect::ScriptEffect& effect, const ScriptRecord& record, Render::RenderContext& context);
    // A movement run; the record is the movement's, kept by the instance.
    ScriptPluginInstance(const Effect::ScriptMovement& movement, const Effect::EffectItemNumber& item,
                         const Render::SectionPosition& position, Render::RenderContext& context);

    static void setCurrent(ScriptPluginInstance* instance);

private:
    Render::RenderContext& genericContext_;
    std::shared_ptr<Media::ResourceBuffer> objectImage_;
    ScriptRecord ownRecord_;  // a movement's record
    const ScriptRecord& record_;
    Render::RenderContext* renderContext_ = nullptr;
    Effect::ScriptEffect* scriptEffect_ = nullptr;
    const Effect::ScriptMovement* movement_ = nullptr;
    const Effect::EffectItemNumber* movedItem_ = nullptr;
    const Render::SectionPosition* sectionPosition_ = nullptr;
};

}  // namespace Plugin
