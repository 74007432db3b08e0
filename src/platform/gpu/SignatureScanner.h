#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/gpu/ShaderCode.h"

namespace Platform::gpu {

// Reads a shader's input signature from its (preprocessed) HLSL source: the
// parameters of the entry function, or the members of a struct parameter, with
// their semantics exactly as written.
class SignatureScanner {
public:
    // False when no definition of the entry function is found.
    static bool scan(std::string_view source, std::string_view entry, std::vector<SignatureParameter>& inputs);
};

}  // namespace Platform::gpu
