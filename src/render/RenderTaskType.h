#pragma once
#include <cstdint>

namespace Render {

// The tag of every task posted to a render thread.
enum RenderTaskType : int32_t {
    kRenderInternal = 0,  // per-object and bookkeeping tasks on the per-object thread
    kRenderPreview = 1,   // the frame at the cursor; a new one drops the queued ones; the only tag with anchors
    kRenderPlayback = 2,
    kRenderExport = 3,    // export frames and renders of data for other objects
};

}  // namespace Render
