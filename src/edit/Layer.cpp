#include "edit/Layer.h"

#include "core/IniFile.h"
#include "core/StringHelper.h"
#include "edit/IniLines.h"

namespace Edit {

void Layer::setName(std::wstring text) {
    System::replaceLineBreaks(text);
    name = std::move(text);
}

void Layer::saveIniFile(System::File& file, int32_t sceneId, int32_t sectionIndex) const {
    IniLines::writeSection(file, "layer." + std::to_string(sectionIndex));
    IniLines::writeInt(file, "layer", index);
    if (sceneId != 0) IniLines::writeInt(file, "scene", sceneId);
    if (!name.empty()) System::IniFile::writeKeyValue(file, "name", name);
    if (lock) IniLines::writeInt(file, "lock", 1);
    if (hide) IniLines::writeInt(file, "hide", 1);
}

}  // namespace Edit
