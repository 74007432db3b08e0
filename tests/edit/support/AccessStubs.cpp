// The access seams owned outside the model (scene names of the edit
// service, earlier-generation values, buffers, fonts, figures), as the
// model tests need them.
#include "effect/ModelAccess.h"

namespace Effect::Access {

bool findSceneName(int32_t, std::wstring&) { return false; }
int32_t findSceneId(const std::wstring&) { return -1; }
void renderBufferSize(const Media::RenderBuffer&, int32_t& width, int32_t& height) { width = height = 0; }
void fontFamilies(std::vector<std::wstring>& names, std::wstring& defaultName) {
    names = {L"Noto Sans CJK JP"};
    defaultName = names.front();
}
void figureNames(std::vector<std::wstring>& names) { names = {L"背景", L"円"}; }

}  // namespace Effect::Access
