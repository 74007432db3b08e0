#include "platform/gpu/HlslCompiler.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>

#include "platform/gpu/SignatureScanner.h"
#include "platform/gpu/SpirvPatch.h"

namespace Platform::gpu {
namespace {

void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { glslang::InitializeProcess(); });
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool readFile(const std::string& path, std::string& out) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    std::ostringstream ss;
    ss << f.rdbuf();
    out = ss.str();
    return true;
}

// Includes relative to the including file (the source name for the top level),
// then to the current folder.
class Includer : public glslang::TShader::Includer {
public:
    explicit Includer(std::string sourceName) : sourceName_(std::move(sourceName)) {}
    bool orderedViews = false;  // an included file declares rasterizer-ordered views

    // A backslash in an include name is a folder separator, as in the scripts' own paths.
    IncludeResult* includeLocal(const char* header, const char* includer, size_t) override {
        const std::string name = slashes(header);
        std::string base = folderOf(includer && *includer ? includer : sourceName_);
        return open(base + name, name);
    }
    IncludeResult* includeSystem(const char* header, const char*, size_t) override {
        const std::string name = slashes(header);
        return open(name, name);
    }
    void releaseInclude(IncludeResult* result) override {
        if (result) {
            delete static_cast<std::string*>(result->userData);
            delete result;
        }
    }

private:
    static std::string slashes(const char* header) {
        std::string s = header ? header : "";
        std::replace(s.begin(), s.end(), '\\', '/');
        return s;
    }
    // The path beside the including file, else the name in the current folder.
    IncludeResult* open(const std::string& path, const std::string& name) {
        std::string text;
        std::string found = path;
        if (!readFile(path, text)) {
            found = name;
            if (!readFile(found, text)) return nullptr;
        }
        if (text.find("RasterizerOrdered") != std::string::npos) orderedViews = true;
        auto* data = new std::string(std::move(text));
        return new IncludeResult(found, data->data(), data->size(), data);
    }
    std::string sourceName_;
};

bool hasWarning(const char* log) { return log && std::strstr(log, "WARNING") != nullptr; }

}  // namespace

bool HlslCompiler::stageOfTarget(const char* target, ShaderStage& stage) {
    if (!target) return false;
    if (std::strcmp(target, "vs_5_0") == 0)
        stage = ShaderStage::Vertex;
    else if (std::strcmp(target, "ps_5_0") == 0)
        stage = ShaderStage::Pixel;
    else if (std::strcmp(target, "cs_5_0") == 0)
        stage = ShaderStage::Compute;
    else
        return false;
    return true;
}

Result HlslCompiler::compile(const char* sourceName, const char* source, size_t length, const char* entry,
                             const char* target, std::vector<uint8_t>& code, std::string& errors) {
    code.clear();
    errors.clear();
    ShaderStage stage;
    if (!source || !entry || !*entry || !stageOfTarget(target, stage)) return kInvalidArg;
    initialiseOnce();
    const EShLanguage language = stage == ShaderStage::Vertex  ? EShLangVertex
                                 : stage == ShaderStage::Pixel ? EShLangFragment
                                                               : EShLangCompute;
    const std::string name = sourceName ? sourceName : "";
    const char* strings[] = {source};
    const int lengths[] = {static_cast<int>(length)};
    const char* names[] = {name.c_str()};

    glslang::TShader shader(language);
    shader.setStringsWithLengthsAndNames(strings, lengths, names, 1);
    // The module's entry point is always "main"; the source names its own.
    shader.setEntryPoint("main");
    shader.setPreamble(ShaderCode::orderedViewDefinitions());
    shader.setSourceEntryPoint(entry);
    shader.setEnvInput(glslang::EShSourceHlsl, language, glslang::EShClientVulkan, 100);
    shader.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_2);
    shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_5);
    shader.setEnvTargetHlslFunctionality1();
    shader.setHlslIoMapping(true);
    shader.setAutoMapBindings(true);
    shader.setAutoMapLocations(true);
    const uint32_t base = stage == ShaderStage::Vertex ? kBindingVertexStage : 0;
    shader.setShiftBinding(glslang::EResUbo, base + kBindingConstantBuffer);
    shader.setShiftBinding(glslang::EResSampler, base + kBindingSampler);
    shader.setShiftBinding(glslang::EResUav, base + kBindingUnorderedAccess);
    shader.setShiftBinding(glslang::EResSsbo, base + kBindingUnorderedAccess);
    shader.setShiftBinding(glslang::EResTexture, base + kBindingTexture);
    shader.setShiftBinding(glslang::EResImage, base + kBindingUnorderedAccess);
    const EShMessages messages = static_cast<EShMessages>(EShMsgSpvRules | EShMsgVulkanRules | EShMsgReadHlsl |
                                                          EShMsgHlslOffsets | EShMsgHlslLegalization);
    Includer includer(name);
    const TBuiltInResource* resources = GetDefaultResources();

    std::string preprocessed;
    if (!shader.preprocess(resources, 100, ENoProfile, false, false, messages, &preprocessed, includer)) {
        errors = shader.getInfoLog();
        return kFail;
    }
    if (!shader.parse(resources, 100, false, messages, includer)) {
        errors = shader.getInfoLog();
        return kFail;
    }
    if (hasWarning(shader.getInfoLog())) {
        errors = shader.getInfoLog();
        return kFail;
    }
    std::vector<SignatureParameter> inputs;
    if (!SignatureScanner::scan(preprocessed, entry, inputs)) {
        errors = name + ": error: entry point '" + entry + "' not found\n";
        return kFail;
    }
    if (stage == ShaderStage::Compute) inputs.clear();
    glslang::TProgram program;
    program.addShader(&shader);
    if (!program.link(messages) || !program.mapIO()) {
        errors = program.getInfoLog();
        if (errors.empty()) errors = name + ": error: link failed\n";
        return kFail;
    }
    if (hasWarning(program.getInfoLog())) {
        errors = program.getInfoLog();
        return kFail;
    }
    std::vector<uint32_t> spirv;
    spv::SpvBuildLogger logger;
    glslang::SpvOptions options;
    options.validate = false;
    glslang::GlslangToSpv(*program.getIntermediate(language), spirv, &logger, &options);
    const std::string spvMessages = logger.getAllMessages();
    if (spirv.empty() || spvMessages.find("error") != std::string::npos) {
        errors = spvMessages.empty() ? name + ": error: code generation failed\n" : spvMessages;
        return kFail;
    }
    SpirvPatch::applyHlslPacking(spirv);
    const bool orderedViews =
        includer.orderedViews || std::string_view(source, length).find("RasterizerOrdered") != std::string_view::npos;
    code = ShaderCode::pack(stage, inputs, spirv.data(), spirv.size(), orderedViews);
    return kOk;
}

}  // namespace Platform::gpu
