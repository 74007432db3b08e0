#pragma once

namespace Render {

// Data rendered ahead for an effect while a walk is in progress; a render
// context holds at most one.
class PreInputBuffer {
public:
    PreInputBuffer() = default;
    virtual ~PreInputBuffer() = default;
    PreInputBuffer(const PreInputBuffer&) = delete;
    PreInputBuffer& operator=(const PreInputBuffer&) = delete;
};

}  // namespace Render
