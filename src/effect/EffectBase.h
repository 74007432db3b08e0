#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/IniFile.h"
#include "effect/OutputView.h"

namespace Edit {
class Object;
class UpdateSection;
}  // namespace Edit
namespace Media {
class ResourceBuffer;
class RenderBuffer;
class AudioBuffer;
}  // namespace Media
namespace Render {
class RenderContext;
class AudioRenderContext;
}  // namespace Render
namespace Anchor {
struct AnchorEvent;
}
namespace Component {
class EffectSetting;
}
namespace System {
class File;
}

namespace Effect {

class EffectItem;
class EffectItemInteger;
class EffectDefine;
class EffectBase;

using ItemList = std::vector<EffectItem*>;

// What an item event carries to the effect (itemEvent).
struct ItemEvent {
    enum Kind : int32_t {
        kItemChanged = 1,  // a notify item was changed by the user
        kFileGiven = 2,    // a file was dropped on or chosen for the input; see path
        kSplit = 3,        // the object was split; object is the one before the split
        kStartMoved = 4,   // frame holds the former start frame
        kEndMoved = 5,     // frame holds the former end frame
        kFileInformation = 100,
    };
    int32_t kind = 0;
    Edit::UpdateSection* scope = nullptr;
    std::shared_ptr<Edit::Object> object;
    std::shared_ptr<EffectBase> effect;
    EffectItem* item = nullptr;
    std::wstring path;
    int32_t frame = 0;
    std::shared_ptr<Edit::Object> splitFrom;  // kSplit: the object the piece was cut from
};

// Base of every effect. A concrete class sets the name and the codes and
// declares its items as members; each item appends itself to `items`, so the
// list order is the declaration order (the order shown, saved and copied).
class EffectBase {
public:
    enum RoleCode : uint8_t { kInput = 1, kOutput = 2, kFilter = 3, kControl = 4 };
    enum MediaCode : uint8_t { kVideo = 1, kAudio = 2, kVideoAudio = 3, kCamera = 4 };
    enum PlacementCode : uint8_t { kSceneChange = 5 };  // otherwise the media codes

    const wchar_t* name = L"";
    uint8_t role = 0;
    uint8_t media = 0;
    uint8_t placement = 0;
    const wchar_t* menuGroup = L"";
    ItemList items;        // not owning: the items are members of the concrete effect
    uint8_t disabled = 0;  // "effect.disable"
    uint8_t hidden = 0;    // "display.hide"
    uint8_t locked = 0;    // "display.lock"

    EffectBase() = default;
    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;

    // Slots in their fixed order.
    virtual ~EffectBase();
    virtual std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext& context);
    virtual void preInputVideo(Render::RenderContext& context);
    virtual void outputVideo(Render::RenderContext& context, Media::RenderBuffer& target,
                             std::shared_ptr<Media::ResourceBuffer> image);
    virtual void updateAnchor(Render::RenderContext& context, int32_t width, int32_t height);
    virtual OutputView getOutputView(Render::RenderContext& context);
    // An empty result ends the object's filter chain.
    virtual std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                               std::shared_ptr<Media::ResourceBuffer> image);
    virtual void controlVideo(Render::RenderContext& context);
    virtual std::shared_ptr<Media::AudioBuffer> inputAudio(Render::AudioRenderContext& context);
    virtual void preInputAudio(Render::AudioRenderContext& context);
    virtual void outputAudio(Render::AudioRenderContext& context, Media::AudioBuffer& target,
                             std::shared_ptr<Media::AudioBuffer> audio);
    virtual std::shared_ptr<Media::AudioBuffer> filterAudio(Render::AudioRenderContext& context,
                                                            std::shared_ptr<Media::AudioBuffer> audio);
    virtual void controlAudio(Render::AudioRenderContext& context);
    virtual const EffectDefine* getPairedInputEffect() const;
    virtual std::wstring getDisplayName() const;
    virtual bool hasLinkedAudio(int32_t purpose) const;
    virtual EffectItemInteger* getLayerRange();
    virtual bool anchorEvent(const Anchor::AnchorEvent& event);
    virtual bool itemEvent(const ItemEvent& event);
    virtual bool isSupportedFile(const std::wstring& path) const;
    virtual void updateItemState();
    virtual void setupItemControls(Component::EffectSetting& setting);
    // A new instance of the same class with the constructor defaults.
    virtual std::shared_ptr<EffectBase> createInstance() const = 0;
    virtual void createCommonResource();
    virtual void shareResource(const EffectBase& prototype);

    // A fresh instance made from this prototype, sharing its class-wide resource.
    std::shared_ptr<EffectBase> instantiate() const;

    // The effect's section body in project, alias and default-parameter
    // files: "effect.name", the flags that are set, one line per item in
    // item order. The caller writes the section header.
    void saveIniSectionParameter(System::File& file) const;
    // Reads the flags (a malformed one fails the section) and every item
    // present; an item that cannot read its text is logged and skipped.
    void loadIniSectionParameter(const System::IniFile::SectionRef& section);
    // Reads a section of the earlier generation's exchange file.
    void loadKtoSectionParameter(const System::IniFile::SectionRef& section);
    // The item an earlier-generation key names through "effect.conf"
    // ([OldScript.<effect name>]), or none.
    EffectItem* findItemByOldName(const std::string& oldKey) const;
    EffectItem* findItemByName(const std::wstring& itemName) const;
    // Copies every item value from another instance of the same class.
    void setItemData(const EffectBase& other);
};

}  // namespace Effect
