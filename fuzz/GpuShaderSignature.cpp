// The input signature scan of script shader sources (HLSL text from script files).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gpu/SignatureScanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<Platform::gpu::SignatureParameter> inputs;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Platform::gpu::SignatureScanner::scan(text, "main", inputs);
    Platform::gpu::SignatureScanner::scan(text, "m", inputs);
    return 0;
}
