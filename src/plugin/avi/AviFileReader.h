#pragma once
#include <memory>
#include <string>

#include "plugin/InputPlugin.h"

// The built-in reader of AVI files, OpenDML files included.
namespace Plugin {

class AviFileReader : public InputPlugin {
public:
    AviFileReader();
    std::shared_ptr<InputFile> open(const std::wstring& path) override;
};

}  // namespace Plugin
