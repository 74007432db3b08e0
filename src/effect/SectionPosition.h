#pragma once
#include <cstdint>
#include <vector>

namespace Edit {
class Object;
}

namespace Render {

// Where one frame lies inside one object: the argument of every movement.
struct SectionPosition {
    int32_t index = 0;    // section holding the frame
    int32_t count = 1;    // sections of the object (boundaries + 1)
    double offset = 0;    // frames from the section's first frame
    int32_t length = 1;   // frames to the next section's first frame (the end for the last); at least 1
    double progress = 0;  // (frame - start) / max(end - start, 1)

    // The index follows the int frame; offset and progress the precise one.
    static SectionPosition locate(int32_t start, int32_t end, const std::vector<int32_t>& boundaries, int32_t frame,
                                  double preciseFrame);
    static SectionPosition locate(const Edit::Object& object, int32_t frame, double preciseFrame);
    // Frames of section index (start to the first boundary, boundary to
    // boundary, the last one to the end), not limited.
    static int32_t sectionLength(int32_t start, int32_t end, const std::vector<int32_t>& boundaries, int32_t index);
};

}  // namespace Render
