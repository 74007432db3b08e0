#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "ShaderFixture.h"

using namespace Platform;
using namespace Platform::gpu;

using CompileTest = ShaderTest;

namespace {

Result compileText(const std::string& src, const char* target, const char* entry, const char* name,
                   std::string& errors) {
    std::vector<uint8_t> code;
    return HlslCompiler::compile(name, src.data(), src.size(), entry, target, code, errors);
}

}  // namespace

TEST_F(CompileTest, FailuresGiveTheCompilerTextNamingTheSource) {
    struct Case {
        const char* what;
        const char* source;
        const char* entry;
        const char* needle;
    };
    const Case cases[] = {
        {"syntax error", "float4 main(float4 p : SV_Position) : SV_Target { return p +; }", "main",
         "scripts/a.lua.shade"},
        {"undeclared name", "float4 main(float4 p : SV_Position) : SV_Target { return q; }", "main",
         "scripts/a.lua.shade"},
        {"missing entry point", "float4 main(float4 p : SV_Position) : SV_Target { return p; }", "shade", "shade"},
    };
    for (const Case& c : cases) {
        std::string errors;
        EXPECT_TRUE(failed(compileText(c.source, "ps_5_0", c.entry, "scripts/a.lua.shade", errors))) << c.what;
        EXPECT_NE(std::string::npos, errors.find(c.needle)) << c.what << ": " << errors;
    }
    std::string errors;
    EXPECT_EQ(kInvalidArg, compileText("float4 main() : SV_Target { return 0; }", "ps_4_0", "main", "x", errors));
}

TEST_F(CompileTest, IncludesResolveBesideTheSourceName) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("velmo-gpu-include-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                      std::to_string(reinterpret_cast<uintptr_t>(this)));
    std::filesystem::create_directories(dir / "sub");
    std::ofstream(dir / "common.hlsli") << "#include \"sub\\more.hlsli\"\nfloat4 tint() { return more(); }\n";
    std::ofstream(dir / "sub" / "more.hlsli") << "float4 more() { return float4(1, 0.5, 0.25, 1); }\n";
    const std::string name = (dir / "script.lua.tinted").string();
    const std::string src =
        "#include \"common.hlsli\"\nfloat4 tinted(float4 p : SV_Position) : SV_Target { return tint(); }\n";
    std::vector<uint8_t> code;
    std::string errors;
    EXPECT_EQ(kOk, HlslCompiler::compile(name.c_str(), src.data(), src.size(), "tinted", "ps_5_0", code, errors))
        << errors;
    // A missing include is a compile error naming it.
    const std::string missing =
        "#include \"absent.hlsli\"\nfloat4 main(float4 p : SV_Position) : SV_Target { return p; }\n";
    EXPECT_EQ(kFail,
              HlslCompiler::compile(name.c_str(), missing.data(), missing.size(), "main", "ps_5_0", code, errors));
    EXPECT_NE(std::string::npos, errors.find("absent.hlsli")) << errors;
    std::filesystem::remove_all(dir);
}

TEST_F(CompileTest, ReflectionKeepsTheSignatureAsWritten) {
    struct Case {
        const char* source;
        std::vector<std::pair<std::string, uint32_t>> inputs;  // name, component type
    };
    const Case cases[] = {
        {"float4 main(float4 p : SV_Position) : SV_Target { return 1; }", {{"SV_Position", kComponentFloat32}}},
        {"float4 main(float4 p : SV_POSITION) : SV_Target { return 1; }", {{"SV_POSITION", kComponentFloat32}}},
        // Unused inputs stay in the signature.
        {"float4 main(float4 p : SV_Position, float2 uv : TEXCOORD) : SV_Target { return p; }",
         {{"SV_Position", kComponentFloat32}, {"TEXCOORD", kComponentFloat32}}},
        {"struct In { float4 p : SV_Position; nointerpolation uint id : BLENDINDICES1; float a : COLOR; };\n"
         "float4 main(In i) : SV_Target { return i.a; }",
         {{"SV_Position", kComponentFloat32}, {"BLENDINDICES", kComponentUint32}, {"COLOR", kComponentFloat32}}},
    };
    for (const Case& c : cases) {
        auto code = compile(c.source, "ps_5_0");
        ShaderReflection r;
        ASSERT_EQ(kOk, ShaderReflection::reflect(code.data(), code.size(), r)) << c.source;
        ASSERT_EQ(c.inputs.size(), r.inputs.size()) << c.source;
        for (size_t i = 0; i < c.inputs.size(); ++i) {
            EXPECT_EQ(c.inputs[i].first, r.inputs[i].semanticName) << c.source;
            EXPECT_EQ(c.inputs[i].second, r.inputs[i].componentType) << c.source;
        }
    }
    auto code = compile(
        "struct In { float4 p : SV_Position; nointerpolation uint id : BLENDINDICES1; };\n"
        "float4 main(In i) : SV_Target { return i.id; }",
        "ps_5_0");
    ShaderReflection r;
    ASSERT_EQ(kOk, ShaderReflection::reflect(code.data(), code.size(), r));
    EXPECT_EQ(1u, r.inputs[1].semanticIndex);
    EXPECT_EQ(0xFu, r.inputs[0].mask);
    EXPECT_EQ(0x1u, r.inputs[1].mask);
}

TEST_F(CompileTest, ReflectionGivesConstantBuffersResourcesAndGroupSize) {
    const char* src = R"(
cbuffer Constant : register(b0) {
    float4x4 projection; float alpha; int blend; float4x4 normalWorld; float shine;
};
struct Light { int type; float3 pos; float4 col; };
cbuffer Lights : register(b1) { Light source[8]; int lightNum; float3 ambient; };
Texture2D<float4> frameBuffer : register(t1);
RWTexture2D<float> depthBuffer : register(u1);
SamplerState smp : register(s0);
[numthreads(8, 4, 1)]
void main(uint3 id : SV_DispatchThreadID) {
    float4 c = frameBuffer.SampleLevel(smp, float2(0, 0), 0) * alpha + shine + blend + mul(float4(1, 1, 1, 1), projection)
             + mul(float4(1, 1, 1, 1), normalWorld) + source[lightNum].col + float4(ambient, source[0].pos.x);
    depthBuffer[id.xy] = c.x;
}
)";
    auto code = compile(src, "cs_5_0");
    ShaderReflection r;
    ASSERT_EQ(kOk, ShaderReflection::reflect(code.data(), code.size(), r));
    EXPECT_EQ(8u, r.threadGroup[0]);
    EXPECT_EQ(4u, r.threadGroup[1]);
    EXPECT_EQ(1u, r.threadGroup[2]);
    ASSERT_EQ(2u, r.constantBuffers.size());
    const ReflectedConstantBuffer* constant = nullptr;
    const ReflectedConstantBuffer* lights = nullptr;
    for (const auto& cb : r.constantBuffers) (cb.name == "Constant" ? constant : lights) = &cb;
    ASSERT_TRUE(constant && lights);
    EXPECT_EQ(0u, constant->slot);
    EXPECT_EQ(160u, constant->size);
    struct Var {
        const char* name;
        uint32_t offset, size;
    };
    const Var vars[] = {
        {"projection", 0, 64}, {"alpha", 64, 4}, {"blend", 68, 4}, {"normalWorld", 80, 64}, {"shine", 144, 4}};
    ASSERT_EQ(5u, constant->variables.size());
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(vars[i].name, constant->variables[i].name);
        EXPECT_EQ(vars[i].offset, constant->variables[i].offset) << vars[i].name;
        EXPECT_EQ(vars[i].size, constant->variables[i].size) << vars[i].name;
    }
    EXPECT_EQ(1u, lights->slot);
    EXPECT_EQ(272u, lights->size);
    ASSERT_EQ(3u, lights->variables.size());
    EXPECT_EQ(256u, lights->variables[0].size);
    EXPECT_EQ(256u, lights->variables[1].offset);
    EXPECT_EQ(260u, lights->variables[2].offset);
    EXPECT_EQ(12u, lights->variables[2].size);
    bool t1 = false, u1 = false, s0 = false;
    for (const auto& res : r.resources) {
        t1 |= res.kind == ResourceKind::Texture && res.slot == 1 && res.name == "frameBuffer";
        u1 |= res.kind == ResourceKind::UnorderedAccess && res.slot == 1 && res.name == "depthBuffer";
        s0 |= res.kind == ResourceKind::Sampler && res.slot == 0;
    }
    EXPECT_TRUE(t1);
    EXPECT_TRUE(u1);
    EXPECT_TRUE(s0);
}

TEST_F(CompileTest, ShadersOfAnotherStageOrForeignBytesAreRefused) {
    auto code = compile("float4 main(float4 p : SV_Position) : SV_Target { return p; }", "ps_5_0");
    std::unique_ptr<Platform::gpu::Shader> s;
    EXPECT_EQ(kInvalidArg, device().createShader(ShaderStage::Compute, code.data(), code.size(), s));
    const uint8_t junk[64] = {1, 2, 3};
    EXPECT_EQ(kInvalidArg, device().createShader(ShaderStage::Pixel, junk, sizeof junk, s));
    EXPECT_EQ(kInvalidArg, device().createShader(ShaderStage::Pixel, code.data(), code.size() / 2, s));
    EXPECT_EQ(kOk, device().createShader(ShaderStage::Pixel, code.data(), code.size(), s));
}

TEST_F(CompileTest, CodeWithAMalformedModuleIsRefused) {
    // Shader code may come from outside: a module whose ids or instructions
    // are broken is refused before the reflection's parser or the device
    // sees it.
    const auto code = compile(
        "struct In { float4 p : SV_Position; float2 uv : TEXCOORD0; };\n"
        "float4 main(In i) : SV_Target { return i.p * i.uv.x; }",
        "ps_5_0");
    ShaderStage stage;
    std::vector<SignatureParameter> inputs;
    std::vector<uint32_t> words;
    ASSERT_TRUE(ShaderCode::unpack(code.data(), code.size(), stage, inputs, words));
    size_t constant = 0, member = 0;
    for (size_t at = 5; at < words.size() && (words[at] >> 16) != 0; at += words[at] >> 16) {
        if ((words[at] & 0xFFFF) == 43 && constant == 0) constant = at;  // OpConstant
        if ((words[at] & 0xFFFF) == 5633 && member == 0) member = at;    // OpMemberDecorateString
    }
    ASSERT_NE(0u, constant);
    ASSERT_NE(0u, member);
    struct Case {
        const char* what;
        size_t word;
        uint32_t value;
    };
    const Case cases[] = {
        {"result id far beyond the bound", constant + 2, 0x00FF0000u | words[constant + 2]},
        {"type id far beyond the bound", constant + 1, 0x00FF0000u | words[constant + 1]},
        {"instruction longer than the module", constant, 0xFFFF0000u | 43u},
        {"zero-length instruction", constant, 43u},
        // Valid, but the parser would make room for millions of ids.
        {"id bound far beyond the module", 3, 0x3FFFFFu},
        {"member index far beyond the struct", member + 2, 0x7A000001u},
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> broken = words;
        broken[c.word] = c.value;
        const auto bytes = ShaderCode::pack(stage, inputs, broken.data(), broken.size());
        ShaderReflection r;
        EXPECT_EQ(kInvalidArg, ShaderReflection::reflect(bytes.data(), bytes.size(), r)) << c.what;
        std::unique_ptr<Platform::gpu::Shader> s;
        EXPECT_EQ(kInvalidArg, device().createShader(ShaderStage::Pixel, bytes.data(), bytes.size(), s)) << c.what;
    }
    ShaderReflection r;
    EXPECT_EQ(kOk, ShaderReflection::reflect(code.data(), code.size(), r));
}

TEST_F(CompileTest, CompilesOnSeveralThreadsAtOnce) {
    std::vector<std::thread> threads;
    std::atomic<int> good{0};
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([i, &good] {
            for (int k = 0; k < 4; ++k) {
                const std::string src = "float4 main(float4 p : SV_Position) : SV_Target { return p * " +
                                        std::to_string(i * 4 + k + 1) + "; }";
                std::vector<uint8_t> code;
                std::string errors;
                if (HlslCompiler::compile("t.hlsl", src.data(), src.size(), "main", "ps_5_0", code, errors) == kOk)
                    ++good;
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(16, good.load());
}
