#pragma once
#include <cstdint>
#include <string>

#include "ui/dialogs/DialogTemplate.h"

namespace Dialog {

// The name, resolution, frame rate and sampling rate of a scene; an absent
// value (null) leaves its item out. On OK the values are copied back.
class SceneDialog : public DialogTemplate {
public:
    using DialogTemplate::DialogTemplate;

    static constexpr int32_t kMinimumSize = 32;
    static constexpr int32_t kMaximumSize = 16384;

    // width and height count only together; rate and scale likewise.
    bool open(std::wstring* name, int32_t* width, int32_t* height, int32_t* rate, int32_t* scale,
              int32_t* audioRate);
};

}  // namespace Dialog
