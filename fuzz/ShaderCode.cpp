// Compiled shader code handed to the layer (scripts and plug-ins may pass
// code of their own): unpacking, reflection of the SPIR-V module, and the
// edits a pipeline makes to a module it accepted (as the pipeline cache
// makes them), without a device.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gpu/ShaderReflection.h"
#include "platform/gpu/SpirvPatch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace G = Platform::gpu;
    G::ShaderReflection r;
    // The layer edits only modules that reflection accepted.
    if (Platform::failed(G::ShaderReflection::reflect(data, size, r))) return 0;
    std::vector<uint32_t> words = r.spirv;
    G::SpirvPatch::stripHlslDecorations(words);
    for (const G::ShaderBinding& b : r.bindings)
        if (b.kind == G::ResourceKind::UnorderedAccess) G::SpirvPatch::setStorageImageFormat(words, b.id, 1);
    for (const G::InterfaceVariable& in : r.stageInputs) G::SpirvPatch::setLocation(words, in.id, in.location + 1);
    for (const G::InterfaceVariable& o : r.stageOutputs) {
        G::SpirvPatch::setLocation(words, o.id, 0);
        G::SpirvPatch::addIndex(words, o.id, o.location);
    }
    std::vector<uint32_t> packed = r.spirv;
    G::SpirvPatch::applyHlslPacking(packed);
    return 0;
}
