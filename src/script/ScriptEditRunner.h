#pragma once
#include "filters/ScriptEdit.h"

namespace Plugin {

// Runs the script typed into a script-control filter on the default engine.
// Installs itself into the filter for its lifetime.
class ScriptEditRunner : public Effect::ScriptEdit::Runner {
public:
    ScriptEditRunner();
    ~ScriptEditRunner() override;
    ScriptEditRunner(const ScriptEditRunner&) = delete;
    ScriptEditRunner& operator=(const ScriptEditRunner&) = delete;

    std::shared_ptr<Media::ResourceBuffer> run(Effect::ScriptEdit& effect, Render::RenderContext& context,
                                               std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    Effect::ScriptEdit::Runner* previous_ = nullptr;
};

}  // namespace Plugin
