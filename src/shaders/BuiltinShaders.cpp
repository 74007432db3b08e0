#include "shaders/BuiltinShaders.h"

#include <cstring>
#include <memory>
#include <mutex>

#include "platform/gpu/SignatureScanner.h"
#include "platform/gpu/SpirvPatch.h"

namespace Shader {

const std::vector<uint8_t>* BuiltinShaders::code(const char* name, Platform::gpu::ShaderStage stage) {
    static std::mutex mutex;
    static std::vector<std::unique_ptr<std::vector<uint8_t>>> made(entryCount);
    if (!name) return nullptr;
    for (size_t i = 0; i < entryCount; ++i) {
        const Entry& e = entries[i];
        if (!e.name || e.stage != stage || std::strcmp(e.name, name) != 0) continue;
        std::lock_guard<std::mutex> lock(mutex);
        if (!made[i]) {
            std::vector<Platform::gpu::SignatureParameter> inputs;
            if (stage != Platform::gpu::ShaderStage::Compute)
                Platform::gpu::SignatureScanner::scan(std::string_view(e.source, e.sourceBytes), "main", inputs);
            std::vector<uint32_t> words(e.spirvBytes / 4);
            std::memcpy(words.data(), e.spirv, words.size() * 4);
            Platform::gpu::SpirvPatch::applyHlslPacking(words);
            made[i] = std::make_unique<std::vector<uint8_t>>(
                Platform::gpu::ShaderCode::pack(
                    stage, inputs, words.data(), words.size(),
                    std::string_view(e.source, e.sourceBytes).find("RasterizerOrdered") != std::string_view::npos));
        }
        return made[i].get();
    }
    return nullptr;
}

}  // namespace Shader
