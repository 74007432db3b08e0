#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace System {
class File;
}

namespace Edit {

// The attributes of one layer slot. Shared and replaced as a whole when
// edited, so that undo records can keep the old instance.
class Layer : public std::enable_shared_from_this<Layer> {
public:
    bool hide = false;
    std::wstring name;
    bool lock = false;
    int32_t index = -1;  // the slot position; -1 once replaced

    Layer() = default;
    explicit Layer(int32_t index) : index(index) {}

    bool isDefault() const { return !hide && !lock && name.empty(); }
    // Names enter the layer through here: a line break becomes a blank, so
    // the name fits on one line of the project file.
    void setName(std::wstring text);
    // The [layer.K] section of the project file; the reader sets the fields itself.
    void saveIniFile(System::File& file, int32_t sceneId, int32_t sectionIndex) const;
};

}  // namespace Edit
