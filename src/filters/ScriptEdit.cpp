#include "filters/ScriptEdit.h"

#include <atomic>

namespace Effect {

namespace {

std::atomic<ScriptEdit::Runner*> gRunner{nullptr};

}  // namespace

ScriptEdit::Runner* ScriptEdit::setRunner(Runner* runner) { return gRunner.exchange(runner); }

ScriptEdit::ScriptEdit() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"アニメーション効果";
}

std::shared_ptr<Media::ResourceBuffer> ScriptEdit::filterVideo(Render::RenderContext& context,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    Runner* runner = gRunner.load();
    if (runner == nullptr) return image;
    return runner->run(*this, context, std::move(image));
}

}  // namespace Effect
