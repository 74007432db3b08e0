#pragma once
#include "plugin/OutputFile.h"

// One PNG export: the cursor frame, premultiplied BGRA kept transparent or
// BGRX written opaque. No progress, no completion notice.
namespace Plugin {

class PngFileSaveFile : public OutputFile {
public:
    PngFileSaveFile(std::wstring path, const ExportScene& scene, ExportSource* source, bool transparent);

    // False when the frame could not be rendered; an encoder failure throws.
    bool save() override;

    const bool transparent;
};

}  // namespace Plugin
