#pragma once
#include <cstdint>
#include <string>

namespace Edit {

// The attributes of one layer slot. Shared and replaced as a whole when
// edited, so that undo records can keep the old instance.
class Layer {
public:
    bool hide = false;
    std::wstring name;
    bool lock = false;
    int32_t index = -1;  // the slot position; -1 once replaced

    Layer() = default;
    explicit Layer(int32_t index) : index(index) {}
};

}  // namespace Edit
