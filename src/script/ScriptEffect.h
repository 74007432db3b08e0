#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "effect/EffectBase.h"
#include "effect/EffectItem.h"
#include "media/gpu/ShaderBase.h"
#include "script/Fnv1aHash.h"
#include "script/ScriptFileParser.h"
#include "script/ScriptInstance.h"
#include "script/ScriptRecord.h"

namespace Media {
class ResourceBuffer;
class PixelShader;
class ComputeShader;
}  // namespace Media
namespace Anchor {
struct AnchorEvent;
}

namespace Effect {

class EffectItemNumber;

// Base of every effect that runs a script. The prototype made at
// registration reads the script's header directives into parameter items;
// each object's effect shares the prototype's script data and gets its own
// copies of those items.
class ScriptEffect : public EffectBase, public Plugin::ScriptInstance, public ScriptFileParser {
public:
    // Shared by the prototype and every effect made from it; the record part
    // is what a run needs.
    struct CommonResource : Plugin::ScriptRecord {
        // The variable names of the declared parameters, in declaration order.
        std::vector<std::string> parameters;
        // The script's compiled shaders by name, made at the first lookup
        // (ScriptEffectShaders.cpp); absent until then and after a new text.
        using ShaderMap = std::unordered_map<std::string, std::unique_ptr<Media::ShaderBase>, Plugin::Fnv1aHash>;
        std::shared_ptr<ShaderMap> shaderMap;

        // Compiles the shader blocks of the script text into a new map. A
        // failure is one WARN line; the shaders before it stay.
        void createShaderList();
        // The shader of that name and kind, the map made first when absent;
        // none for a missing name or a shader of the other kind.
        Media::PixelShader* getPixelShader(const std::string& shaderName);
        Media::ComputeShader* getComputeShader(const std::string& shaderName);
    };

    using VariableMap = std::unordered_map<std::string, std::unique_ptr<EffectItem>, Plugin::Fnv1aHash>;

    // role and media kind as EffectBase codes; the placement is the media kind.
    ScriptEffect(const wchar_t* name, uint8_t role, uint8_t media);
    ~ScriptEffect() override;

    void createCommonResource() override;
    void shareResource(const EffectBase& prototype) override;

    // Takes the section's name and text, the file's folder, and reads the
    // header. labelTarget receives a "--label" text; engineName is the engine
    // used without a "--script" line (none: the default engine).
    void setScript(ScriptFileParser::ScriptSection section, const std::wstring& folder, std::wstring* labelTarget,
                   const std::string* engineName);
    // A reload: the text only; the parameters stay until the next start.
    void updateScript(ScriptFileParser::ScriptSection section);
    void makeScriptParams(std::wstring* labelTarget, const std::string* engineName);
    // A string (quoted), table (braced) or raw item for a value text, inserted
    // under the variable name; none when the name is taken already.
    EffectItem* makeValueItem(const std::string& variable, const std::wstring& label, const std::wstring& value);

    // One run of the script on the object's image: the image the script
    // leaves, or none. A failing run logs "script exception: %s" under scope
    // and gives none; it never throws.
    std::shared_ptr<Media::ResourceBuffer> runScript(Render::RenderContext& context,
                                                     std::shared_ptr<Media::ResourceBuffer> image, const char* scope);

    // The draggable points of obj.setanchor. A point anchor's label is the
    // name the drag writes back to ("track" for the tracks), its tag the
    // number of coordinates its list holds, its id the point index.
    static constexpr uint32_t kAnchor2d = 0x800000;
    static constexpr uint32_t kAnchor3d = 0x1000000;
    // The number item "track0" to "track2", or none.
    EffectItemNumber* getTrackItem(int32_t index) const;
    // For each of the points, the values of tracks 0 .. coordinates - 1 at
    // that point: the key's stored value, or the movement's value at the
    // point's frame when the track does not keep one value per key.
    std::vector<float> getTrackPoints(Render::RenderContext& context, int32_t coordinates, int32_t points) const;
    // The numbers of the table parameter of that name (or "@local name"),
    // up to the first piece that is no number; empty for other kinds.
    std::vector<float> getAnchorValues(const std::string& variable) const;
    void setAnchorValues(const std::string& variable, const std::vector<float>& values);
    // A drag of a point moves the tracks or rewrites the list; other events
    // are not handled.
    bool anchorEvent(const Anchor::AnchorEvent& event) override;
    void moveAnchor(const Anchor::AnchorEvent& event);

    CommonResource& commonResource() const { return *commonResource_; }
    bool hasCommonResource() const { return commonResource_ != nullptr; }
    const VariableMap& variableMap() const { return variables_; }

private:
    EffectItem* findAnchorItem(const std::string& variable) const;

    class HeaderReader;
    friend class HeaderReader;

    // Inserts a new item under a free name and lists it as a parameter; a
    // repeated name keeps its first item and the new one is dropped.
    EffectItem* insertItem(const std::string& variable, std::unique_ptr<EffectItem> item);

    std::shared_ptr<CommonResource> commonResource_;
    VariableMap variables_{8};
};

}  // namespace Effect
