#include "shaders/BuiltinShaders.h"

#include <cstring>
#include <memory>

#include "platform/gpu/SignatureScanner.h"
#include "platform/gpu/SpirvPatch.h"
#include "platform/os/ThreadSafety.h"

namespace Shader {

namespace {

// Each entry's packed code, made on first use.
struct MadeCode {
    explicit MadeCode(size_t count) : code(count) {}
    Platform::os::Mutex mutex;
    std::vector<std::unique_ptr<std::vector<uint8_t>>> code GUARDED_BY(mutex);
};

}  // namespace

const std::vector<uint8_t>* BuiltinShaders::code(const char* name, Platform::gpu::ShaderStage stage) {
    static MadeCode madeCode(entryCount);
    if (!name) return nullptr;
    for (size_t i = 0; i < entryCount; ++i) {
        const Entry& e = entries[i];
        if (!e.name || e.stage != stage || std::strcmp(e.name, name) != 0) continue;
        Platform::os::MutexLock lock(madeCode.mutex);
        if (!madeCode.code[i]) {
            std::vector<Platform::gpu::SignatureParameter> inputs;
            if (stage != Platform::gpu::ShaderStage::Compute)
                Platform::gpu::SignatureScanner::scan(std::string_view(e.source, e.sourceBytes), "main", inputs);
            std::vector<uint32_t> words(e.spirvBytes / 4);
            std::memcpy(words.data(), e.spirv, words.size() * 4);
            Platform::gpu::SpirvPatch::applyHlslPacking(words);
            madeCode.code[i] = std::make_unique<std::vector<uint8_t>>(
                Platform::gpu::ShaderCode::pack(stage, inputs, words.data(), words.size(),
                                                std::string_view(e.source, e.sourceBytes).find("RasterizerOrdered") !=
                                                    std::string_view::npos));
        }
        return madeCode.code[i].get();
    }
    return nullptr;
}

}  // namespace Shader
