#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace Edit {
class Object;
class Scene;
}  // namespace Edit
namespace Media {
class AudioBuffer;
class ResourceBuffer;
}  // namespace Media
namespace Render {
class ContextBase;
class RenderContext;
class AudioRenderContext;
}  // namespace Render

namespace Effect {

class EffectBase;
class EffectItemCheck;
class EffectItemFile;
class EffectItemInteger;
class EffectItemNumber;
struct ItemEvent;

// The play position shared by the time-based sources: turns the frame being
// rendered into a media time from the owner's play position, play speed and
// loop items, learns the media's length by probing it, and fits the object
// to the media when a file is given or the object is cut or moved.
class InputMovieEffect {
public:
    // Where an object lies: start and end frame, section boundaries from the start.
    struct Geometry {
        int32_t start = 0;
        int32_t end = 0;
        std::vector<int32_t> midpoints;
    };
    struct FrameRate {
        int32_t rate = 30;
        int32_t scale = 1;
        double seconds(double frames) const { return frames * scale / rate; }
    };

    double length = 0;  // media duration in seconds
    uint8_t hasVideo = 0;
    uint8_t hasAudio = 0;
    uint8_t probed = 0;
    EffectItemNumber* positionItem = nullptr;
    EffectItemNumber* speedItem = nullptr;
    EffectItemFile* fileItem = nullptr;      // none for the scene source
    EffectItemInteger* sceneItem = nullptr;  // none for the file sources
    EffectItemCheck* loopItem = nullptr;     // none: never loops
    int32_t mediaKind = 1;                   // 1 video, 2 audio

    // Binds the position to the play range and offers that movement on it.
    void initPositionItem();
    // Binds a file source's items, asks for events on a change of speed or
    // file, and sets up the position item.
    void bindFileItems(EffectItemNumber& position, EffectItemNumber& speed, EffectItemFile& file, EffectItemCheck& loop,
                       int32_t kind);

    bool rangeDriven() const;
    bool speedFixed() const;
    bool looping() const;

    double getPlayTime(FrameRate rate, const Geometry& geometry, int32_t frame) const;
    std::pair<double, double> getPlayRange() const;
    double wrapPlayTime(double t, std::pair<double, double> range) const;
    double getVideoTime(Render::RenderContext& context) const;
    double getAudioTime(const Render::AudioRenderContext& context) const;
    double getAudioSpeed(const Render::AudioRenderContext& context) const;
    double getAudioStartOffset(const Render::AudioRenderContext& context) const;

    // Probes the media once; several render threads may ask at once. A
    // file that did not open is tried again at the next call.
    bool checkMedia();
    // The media path: the file, or "*" and the scene id; empty for none.
    std::wstring mediaPath() const;

    // The frame at the video time from the image cache, uploaded into the
    // kept GPU image (remade only when another holder still has it); none
    // when the media does not probe or the cache has no frame.
    std::shared_ptr<Media::ResourceBuffer> readVideo(Render::RenderContext& context,
                                                     std::shared_ptr<Media::ResourceBuffer>& kept);
    void preloadVideo(Render::RenderContext& context);
    // The sound of the context's audio range from the audio cache; none when
    // the media does not probe or the time lies outside the media.
    std::shared_ptr<Media::AudioBuffer> readAudio(Render::AudioRenderContext& context);
    void preloadAudio(Render::AudioRenderContext& context);

    // Item event handlers; each returns whether it changed something. The
    // event's object is the object as it is now; former is its geometry
    // before the split or the edge move.
    bool onObjectRangeChanged(const ItemEvent& event, const Geometry& former);
    bool fitObjectLength(const ItemEvent& event, bool reset);
    bool fitLengthToSpeed(const ItemEvent& event);
    bool onItemChanged(const ItemEvent& event);
    bool onFileGiven(const ItemEvent& event);
    // The file information text, or the path alone for a file that does not open.
    std::wstring fileInformation();
    // Shows the file information (the scene's details for the scene
    // source) below the pointer; false without a file or scene.
    bool showFileInformation();
    // Kinds 1, 2, 4, 5 and 100 as the file sources dispatch them.
    bool dispatch(const ItemEvent& event);

    static Geometry geometryOf(const Edit::Object& object);
    static FrameRate rateOf(const Edit::Scene* scene);

private:
    double timeAt(const Render::ContextBase& context, double positionValue) const;
    std::pair<double, double> rawTime(const Render::RenderContext& context) const;

    std::mutex probeMutex_;
};

}  // namespace Effect
