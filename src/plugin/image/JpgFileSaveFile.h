#pragma once
#include "plugin/OutputFile.h"

// One JPEG export: the cursor frame as BGRX at the given quality. No
// progress, no completion notice.
namespace Plugin {

class JpgFileSaveFile : public OutputFile {
public:
    JpgFileSaveFile(std::wstring path, const ExportScene& scene, ExportSource* source, int32_t quality);

    // False when the frame could not be rendered; an encoder failure throws.
    bool save() override;

    const int32_t quality;
};

}  // namespace Plugin
