#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Effect {

// The compiled code of script shaders, kept for the life of the process by
// the text that was compiled, so that a script loaded again with the same
// shaders, or another script carrying the same block, does not compile it
// again. A source that includes files is compiled every time: what it
// includes may have changed.
class ScriptShaderCache {
public:
    using Code = std::shared_ptr<const std::vector<uint8_t>>;

    // The code for the target ("ps_5_0", "cs_5_0"). A compile that failed
    // throws its exception again for the same text. Every real compile is
    // counted and logged (VERBOSE) with the count so far.
    static Code compile(const std::string& sourceName, const std::string& source, const std::string& entryPoint,
                        const char* target);

    // The compiles done in this process.
    static uint64_t compileCount();
};

}  // namespace Effect
