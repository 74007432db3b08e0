#include "filters/ScriptEdit.h"

namespace Effect {

ScriptEdit::ScriptEdit() {
    name = L"スクリプト制御";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"アニメーション効果";
}

std::shared_ptr<EffectBase> ScriptEdit::createInstance() const { return std::make_shared<ScriptEdit>(); }

std::shared_ptr<Media::ResourceBuffer> ScriptEdit::filterVideo(Render::RenderContext&,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::ScriptEdit::filterVideo");
}

}  // namespace Effect
