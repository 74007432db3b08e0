#pragma once
#include "edit/DisplayCamera.h"
#include "effect/ControlView.h"
#include "effect/EffectClass.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemLayerObject.h"
#include "effect/EffectItemLayerRange.h"
#include "effect/EffectItemNumber.h"
#include "effect/MoveEffect.h"
#include "effects/OutputShaderEffect.h"
#include "effects/ShaderResource.h"
#include "platform/math/Vector.h"

namespace Effect {

// Views the objects of the layers after it through a camera: eye, target (a
// point or a layer) and tilt. Its control step runs when its batch opens,
// writing the camera matrix every draw of the batch uses, and again when the
// batch has been drawn, laying the transparent surfaces over the frame.
class CameraControl : public EffectClass<CameraControl, MoveEffect>, public ControlView, public OutputShaderEffect {
public:
    static constexpr const wchar_t* kName = L"カメラ制御";
    using Matrix = Platform::math::Matrix;
    using Float4 = Platform::math::Float4;
    using Float3 = Platform::math::Float3;

    // A camera: where it is, what it looks at, its up direction, roll and focal length.
    struct Record {
        Float4 eye{0, 0, -1024, 1};
        Float4 target{0, 0, 0, 1};
        Float4 up{0, 1, 0, 0};
        float tilt = 0;  // degrees
        float focal = 1024;
    };

    EffectItemNumber x{&items, L"X", 0, -100000, 100000, 0.01};
    EffectItemNumber y{&items, L"Y", 0, -100000, 100000, 0.01};
    EffectItemNumber z{&items, L"Z", -1024, -100000, 100000, 0.01};
    EffectItemNumber targetX{&items, L"目標X", 0, -100000, 100000, 0.01};
    EffectItemNumber targetY{&items, L"目標Y", 0, -100000, 100000, 0.01};
    EffectItemNumber targetZ{&items, L"目標Z", 0, -100000, 100000, 0.01};
    EffectItemLayerObject targetLayer{&items, L"目標レイヤー", 0, 0, 1000, 1};
    EffectItemNumber tilt{&items, L"傾き", 0, -3600, 3600, 0.01};
    EffectItemNumber fieldOfView{&items, L"視野角", 0, 0, 120, 0.01};
    EffectItemLayerRange layers{&items, L"対象レイヤー数", 0, 0, 1000};
    EffectItemGroup position{{&x, &y, &z}};
    EffectItemGroup target{{&targetX, &targetY, &targetZ}};
    // The point on the target layer's object: items of "目標レイヤー", not of the effect.
    ItemList targetLayerItems;
    EffectItemNumber targetLayerX{&targetLayerItems, L"X", 0, -100000, 100000, 0.01};
    EffectItemNumber targetLayerY{&targetLayerItems, L"Y", 0, -100000, 100000, 0.01};
    EffectItemNumber targetLayerZ{&targetLayerItems, L"Z", 0, -100000, 100000, 0.01};
    EffectItemGroup targetLayerPoint{{&targetLayerX, &targetLayerY, &targetLayerZ}};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    // The batch's state, written by the opening control step.
    Record record;
    Matrix cameraMatrix = Platform::math::identity();
    Float4 direction{0, 0, 1, 0};
    uint8_t freeView = 0;

    CameraControl();
    void createCommonResource() override;
    EffectItemInteger* getLayerRange() override;
    OutputView getOutputView(Render::RenderContext& context) override;
    // Render thread, as the batch opens: the camera of the frame, so the walk
    // can sort the batch by it before anything is drawn.
    void preInputVideo(Render::RenderContext& context) override;
    void controlVideo(Render::RenderContext& context) override;

    // The point looked at (x, y, z, 1) at the context.
    Float4 getTargetPosition(Render::RenderContext& context);
    // The position of the object on the target layer at the context, or 0.
    Platform::math::Float3 getTargetLayerPosition(Render::RenderContext& context);
    // Look-to, then the tilt: the view without the projection.
    static Matrix getViewMatrix(const Record& camera);
    // The view, then the perspective of the record's focal length on a w x h frame.
    static Matrix getCameraMatrix(const Record& camera, float width, float height);
    // Unit vectors from the corners of the focal plane of a w x h frame toward
    // the eye: top left, top right, bottom right, bottom left.
    static void getCornerRays(float width, float height, const Record& camera, Platform::math::Float3 (&rays)[4]);
    // The camera the batch is seen through: the scene's own in free view.
    Record viewedRecord(const Render::RenderContext& context) const;

    // Colours of the editing guides (premultiplied as drawn).
    static constexpr float kGridColor[4] = {0.4f, 0.4f, 0.4f, 0.8f};
    static constexpr float kAxisXColor[4] = {0.4f, 0.15f, 0.15f, 0.4f};
    static constexpr float kAxisYColor[4] = {0.1f, 0.2f, 0.1f, 0.4f};
    static constexpr float kAxisZColor[4] = {0.15f, 0.15f, 0.4f, 0.4f};
    static constexpr float kFrustumColor[4] = {1, 1, 1, 0.8f};
    // The frustum's sides (straight colour): the one through the corners at +h/2 is light.
    static constexpr float kFrustumFace[4] = {0, 0, 0, 0.3f};
    static constexpr float kFrustumLitFace[4] = {1, 1, 1, 0.3f};
    // The grid lines of each direction for a range and step: -range, then
    // every step while at most +range.
    static int32_t gridLineCount(float range, float step);
    // Per-object thread, closing call of a preview: the ground grid, the axes
    // through the target of a focused camera and, in free view, the camera's
    // own frustum, drawn into the batch's depth layers.
    void drawGuides(Render::RenderContext& context);
    // One line between two points seen through the matrix, `width` pixels to
    // each side; cut at the near limit, nothing when wholly behind it.
    void drawGuideLine(const Float4& from, const Float4& to, const Matrix& camera, float halfWidth, float halfHeight,
                       float width);
    // The four sides from the eye to the corners of the focal plane, filled,
    // into the batch's depth layers.
    void drawFrustumFaces(const Float4 (&corners)[4]);
    // The target point recorded by the last guide pass (w 1 when present, 0 when not).
    Float4 targetMarker{0, 0, 0, 0};

    // The anchor through which the camera is orbited, zoomed and panned.
    static constexpr uint32_t kCameraAnchorFlags = 0x40000000;
    // In free view the scene's camera never looks at a point nearer than this.
    static constexpr float kFreeViewMinReach = 256;
    // Closing call of a preview: the target marker, the view button and the camera anchor.
    void updateAnchor(Render::RenderContext& context, int32_t width, int32_t height) override;
    bool anchorEvent(const Anchor::AnchorEvent& event) override;
    // Orbits the eye about the target by a drag of the camera anchor.
    void dragCamera(const Anchor::AnchorEvent& event);
    // Whether the eye and target items take a value at the dragged key.
    bool isDragEditable(const Anchor::AnchorEvent& event) const;
    // Polar angle, azimuth and distance of the eye seen from the target.
    static Float3 orbitOf(const Float3& eye, const Float3& target);

    Matrix getControlWorldMatrix() const override { return Platform::math::identity(); }
    Matrix getControlViewMatrix() const override { return cameraMatrix; }
    // The point the focused object under the camera stands on, for the guides.
    void setTargetMarker(const Float4& point) override {
        objectMarker_ = point;
        objectMarkerPresent_ = true;
    }

private:
    // The focused object's point under this camera, until the next guide pass.
    Float4 objectMarker_{0, 0, 0, 1};
    bool objectMarkerPresent_ = false;
    // Whether the context's batch is this camera's: the closing call.
    bool closing(const Render::RenderContext& context) const;
    void openBatch(Render::RenderContext& context);
    void closeBatch(Render::RenderContext& context);
};

}  // namespace Effect
