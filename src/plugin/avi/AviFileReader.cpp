#include "plugin/avi/AviFileReader.h"

#include "plugin/avi/AviFileInput.h"

namespace Plugin {

using namespace std::string_literals;

AviFileReader::AviFileReader() {
    name = L"AVI/AVI2 File Reader";
    filter = L"AviFile (*.avi)\0*.avi\0\0"s;
    flags = kVideo | kAudio;
}

std::shared_ptr<InputFile> AviFileReader::open(const std::wstring& path) {
    auto file = std::make_shared<AviFileInput>();
    if (!file->open(path)) return nullptr;
    return file;
}

}  // namespace Plugin
