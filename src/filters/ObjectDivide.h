#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Splits the object into tiles drawn as objects of their own.
class ObjectDivide : public EffectClass<ObjectDivide> {
public:
    static constexpr const wchar_t* kName = L"オブジェクト分割";

    EffectItemNumber columns{&items, L"横分割数", 10, 1, 100, 1};
    EffectItemNumber rows{&items, L"縦分割数", 10, 1, 100, 1};

    ObjectDivide();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    // A piece count or index times the pieces each is split into, held at the
    // largest 32-bit value: divisions nested in one chain multiply up fast.
    static int32_t multiplyPieces(int32_t value, int32_t pieces);
};

}  // namespace Effect
