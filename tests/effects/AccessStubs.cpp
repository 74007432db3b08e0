// What the built-in effects read outside the model for these tests: no open
// project scenes, a fixed font list and figure list, no frame buffers.
#include "effect/ModelAccess.h"

namespace Effect::Access {

bool findSceneName(int32_t, std::wstring&) { return false; }
int32_t findSceneId(const std::wstring&) { return -1; }
void renderBufferSize(const Media::RenderBuffer&, int32_t& width, int32_t& height) { width = height = 0; }
void fontFamilies(std::vector<std::wstring>& names, std::wstring& defaultName) {
    names = {L"Alpha Sans", L"Noto Sans CJK JP"};
    defaultName = L"Noto Sans CJK JP";
}
void figureNames(std::vector<std::wstring>& names) { names = {L"背景", L"円", L"四角形", L"三角形"}; }

}  // namespace Effect::Access
