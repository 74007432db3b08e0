#include "platform/gpu/ShaderReflection.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>
#include <spirv-tools/libspirv.h>
#include <spirv_cross/spirv_cross_c.h>

#include "platform/gpu/HlslCompiler.h"

namespace Platform::gpu {
namespace {

struct Context {
    spvc_context ctx = nullptr;
    ~Context() {
        if (ctx) spvc_context_destroy(ctx);
    }
};

void splitUpper(const char* semantic, InterfaceVariable& v) {
    std::string s = semantic ? semantic : "";
    size_t n = s.size();
    while (n > 0 && std::isdigit(static_cast<unsigned char>(s[n - 1]))) --n;
    uint64_t index = 0;
    for (size_t i = n; i < s.size(); ++i) index = std::min<uint64_t>(index * 10 + (s[i] - '0'), 0xFFFFFFFFu);
    v.semanticIndex = static_cast<uint32_t>(index);
    s.resize(n);
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    v.semantic = s;
}

// Size of a member as the program's platform counts it: an array or matrix
// ends with its last element or register, not with the stride padding after it.
uint32_t memberSize(spvc_compiler comp, spvc_type structType, spvc_type_id structId, unsigned i) {
    size_t declared = 0;
    spvc_compiler_get_declared_struct_member_size(comp, structType, i, &declared);
    spvc_type t = spvc_compiler_get_type_handle(comp, spvc_type_get_member_type(structType, i));
    const unsigned dims = spvc_type_get_num_array_dimensions(t);
    if (dims > 0) {
        unsigned stride = 0;
        if (spvc_compiler_type_struct_member_array_stride(comp, structType, i, &stride) != SPVC_SUCCESS)
            return static_cast<uint32_t>(declared);
        size_t count = 1;
        for (unsigned d = 0; d < dims; ++d) count *= spvc_type_get_array_dimension(t, d);
        if (count == 0) return static_cast<uint32_t>(declared);
        size_t element;
        if (spvc_type_get_basetype(t) == SPVC_BASETYPE_STRUCT) {
            spvc_compiler_get_declared_struct_size(comp, t, &element);
        } else {
            const unsigned cols = spvc_type_get_columns(t);
            element = cols > 1 ? static_cast<size_t>(stride) : spvc_type_get_vector_size(t) * 4u;
        }
        return static_cast<uint32_t>(stride * (count - 1) + element);
    }
    const unsigned cols = spvc_type_get_columns(t);
    if (cols > 1) {
        unsigned stride = 0;
        if (spvc_compiler_type_struct_member_matrix_stride(comp, structType, i, &stride) != SPVC_SUCCESS)
            return static_cast<uint32_t>(declared);
        const bool rowMajor = spvc_compiler_get_member_decoration(comp, structId, i, SpvDecorationRowMajor) != 0;
        const unsigned vec = spvc_type_get_vector_size(t);
        const unsigned registers = rowMajor ? vec : cols;
        const unsigned bytes = (rowMajor ? cols : vec) * 4u;
        return stride * (registers - 1) + bytes;
    }
    return static_cast<uint32_t>(declared);
}

// Code may come from outside: the reflection's parser and the device both
// trust the module they get, so only a valid one goes on. Constant buffers
// keep the program's own packing, which no Vulkan block layout describes.
// Names and decorations of struct members name a member the struct has (the
// validator leaves this unchecked for some of them, and the reflection's
// parser sizes its tables by the index).
bool memberIndicesFit(const std::vector<uint32_t>& words) {
    constexpr uint32_t kOpMemberName = 6, kOpTypeStruct = 30, kOpMemberDecorate = 72, kOpMemberDecorateString = 5633;
    std::unordered_map<uint32_t, uint32_t> members;
    for (size_t i = 5; i < words.size() && (words[i] >> 16) != 0; i += words[i] >> 16)
        if ((words[i] & 0xFFFF) == kOpTypeStruct && (words[i] >> 16) >= 2) members[words[i + 1]] = (words[i] >> 16) - 2;
    for (size_t i = 5; i < words.size() && (words[i] >> 16) != 0; i += words[i] >> 16) {
        const uint32_t op = words[i] & 0xFFFF;
        if (op != kOpMemberName && op != kOpMemberDecorate && op != kOpMemberDecorateString) continue;
        if ((words[i] >> 16) < 3) return false;
        const auto found = members.find(words[i + 1]);
        if (found == members.end() || words[i + 2] >= found->second) return false;
    }
    return true;
}

bool validModule(const std::vector<uint32_t>& words) {
    // Every id is the result of an instruction of two words or more: a bound
    // beyond the module's length is never needed and would only make the
    // parser reserve room for millions of ids.
    if (words.size() < 5 || words[3] > words.size()) return false;
    spv_context context = spvContextCreate(SPV_ENV_VULKAN_1_2);
    if (context == nullptr) return false;
    spv_validator_options options = spvValidatorOptionsCreate();
    spvValidatorOptionsSetSkipBlockLayout(options, true);
    spv_const_binary_t binary{words.data(), words.size()};
    spv_diagnostic diagnostic = nullptr;
    const spv_result_t result = spvValidateWithOptions(context, options, &binary, &diagnostic);
    spvDiagnosticDestroy(diagnostic);
    spvValidatorOptionsDestroy(options);
    spvContextDestroy(context);
    return result == SPV_SUCCESS && memberIndicesFit(words);
}

}  // namespace

Result ShaderReflection::reflect(const void* code, size_t length, ShaderReflection& out) {
    out = ShaderReflection();
    if (!ShaderCode::unpack(code, length, out.stage, out.inputs, out.spirv, &out.orderedViews) ||
        !validModule(out.spirv))
        return kInvalidArg;
    Context c;
    if (spvc_context_create(&c.ctx) != SPVC_SUCCESS) return kOutOfMemory;
    spvc_parsed_ir ir = nullptr;
    spvc_compiler comp = nullptr;
    if (spvc_context_parse_spirv(c.ctx, out.spirv.data(), out.spirv.size(), &ir) != SPVC_SUCCESS ||
        spvc_context_create_compiler(c.ctx, SPVC_BACKEND_NONE, ir, SPVC_CAPTURE_MODE_TAKE_OWNERSHIP, &comp) !=
            SPVC_SUCCESS)
        return kInvalidArg;
    spvc_set active = nullptr;
    spvc_resources res = nullptr;
    if (spvc_compiler_get_active_interface_variables(comp, &active) != SPVC_SUCCESS ||
        spvc_compiler_create_shader_resources_for_active_variables(comp, &res, active) != SPVC_SUCCESS)
        return kInvalidArg;
    const uint32_t stageBase = out.stage == ShaderStage::Vertex ? kBindingVertexStage : 0;

    const spvc_reflected_resource* list = nullptr;
    size_t count = 0;
    spvc_resources_get_resource_list_for_type(res, SPVC_RESOURCE_TYPE_UNIFORM_BUFFER, &list, &count);
    for (size_t i = 0; i < count; ++i) {
        const unsigned binding = spvc_compiler_get_decoration(comp, list[i].id, SpvDecorationBinding);
        ReflectedConstantBuffer cb;
        const char* typeName = spvc_compiler_get_name(comp, list[i].base_type_id);
        cb.name = typeName && *typeName ? typeName : list[i].name;
        cb.slot = binding - stageBase - kBindingConstantBuffer;
        spvc_type t = spvc_compiler_get_type_handle(comp, list[i].base_type_id);
        size_t size = 0;
        spvc_compiler_get_declared_struct_size(comp, t, &size);
        cb.size = static_cast<uint32_t>((size + 15) / 16 * 16);
        const unsigned members = spvc_type_get_num_member_types(t);
        for (unsigned m = 0; m < members; ++m) {
            ReflectedVariable v;
            const char* mn = spvc_compiler_get_member_name(comp, list[i].base_type_id, m);
            v.name = mn ? mn : "";
            unsigned offset = 0;
            spvc_compiler_type_struct_member_offset(comp, t, m, &offset);
            v.offset = offset;
            v.size = memberSize(comp, t, list[i].base_type_id, m);
            cb.variables.push_back(v);
        }
        out.constantBuffers.push_back(cb);
        out.resources.push_back({cb.name, ResourceKind::ConstantBuffer, cb.slot});
        out.bindings.push_back({list[i].id, binding, ResourceKind::ConstantBuffer, cb.slot});
    }
    struct Kind {
        spvc_resource_type type;
        ResourceKind kind;
        uint32_t base;
    };
    const Kind kinds[] = {
        {SPVC_RESOURCE_TYPE_SEPARATE_IMAGE, ResourceKind::Texture, kBindingTexture},
        {SPVC_RESOURCE_TYPE_SEPARATE_SAMPLERS, ResourceKind::Sampler, kBindingSampler},
        {SPVC_RESOURCE_TYPE_STORAGE_IMAGE, ResourceKind::UnorderedAccess, kBindingUnorderedAccess},
    };
    for (const Kind& k : kinds) {
        spvc_resources_get_resource_list_for_type(res, k.type, &list, &count);
        for (size_t i = 0; i < count; ++i) {
            const unsigned binding = spvc_compiler_get_decoration(comp, list[i].id, SpvDecorationBinding);
            const uint32_t slot = binding - stageBase - k.base;
            out.resources.push_back({list[i].name ? list[i].name : "", k.kind, slot});
            out.bindings.push_back({list[i].id, binding, k.kind, slot});
        }
    }
    // Storage buffers and combined image samplers are not part of the program's vocabulary.
    spvc_resources_get_resource_list_for_type(res, SPVC_RESOURCE_TYPE_STORAGE_BUFFER, &list, &count);
    if (count) return kNotImplemented;

    for (int dir = 0; dir < 2; ++dir) {
        spvc_resources_get_resource_list_for_type(res,
                                                  dir == 0 ? SPVC_RESOURCE_TYPE_STAGE_INPUT
                                                           : SPVC_RESOURCE_TYPE_STAGE_OUTPUT,
                                                  &list, &count);
        for (size_t i = 0; i < count; ++i) {
            InterfaceVariable v;
            v.id = list[i].id;
            v.location = spvc_compiler_get_decoration(comp, list[i].id, SpvDecorationLocation);
            splitUpper(spvc_compiler_get_decoration_string(comp, list[i].id, SpvDecorationHlslSemanticGOOGLE), v);
            spvc_type t = spvc_compiler_get_type_handle(comp, list[i].type_id);
            v.components = spvc_type_get_vector_size(t);
            (dir == 0 ? out.stageInputs : out.stageOutputs).push_back(v);
        }
    }
    if (out.stage == ShaderStage::Compute) {
        for (unsigned i = 0; i < 3; ++i)
            out.threadGroup[i] = spvc_compiler_get_execution_mode_argument_by_index(comp, SpvExecutionModeLocalSize, i);
    }
    return kOk;
}

}  // namespace Platform::gpu
