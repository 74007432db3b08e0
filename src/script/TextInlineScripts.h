#pragma once
#include <string>

#include "effects/TextInput.h"

namespace Plugin {

// Runs the inline script blocks of text objects on the default engine; what
// a block writes with `mes` replaces it. Without a render context (while the
// text is only measured) the run sees no object.
class TextInlineScripts : public Effect::TextInput::InlineScripts {
public:
    // Installs itself into the text source for its lifetime.
    TextInlineScripts();
    ~TextInlineScripts() override;
    TextInlineScripts(const TextInlineScripts&) = delete;
    TextInlineScripts& operator=(const TextInlineScripts&) = delete;

    std::wstring run(Effect::TextInput& effect, const std::wstring& code, Render::RenderContext* context) override;

    // One block's run; scriptName is the scope of its log lines.
    static std::wstring runBlock(const wchar_t* scriptName, const std::wstring& code, Render::RenderContext* context);

private:
    Effect::TextInput::InlineScripts* previous_ = nullptr;
};

}  // namespace Plugin
