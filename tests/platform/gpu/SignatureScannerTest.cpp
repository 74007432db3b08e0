#include <gtest/gtest.h>

#include "platform/gpu/SignatureScanner.h"

using namespace Platform::gpu;

TEST(SignatureScannerTest, ReadsTheEntryParametersAsWritten) {
    struct Case {
        const char* what;
        const char* source;
        bool found;
        std::vector<std::string> names;  // name#index
    };
    const Case cases[] = {
        {"plain parameters",
         "float4 main(float4 p : SV_Position, float2 uv : TEXCOORD1) : SV_Target { return p; }",
         true,
         {"SV_Position#0", "TEXCOORD#1"}},
        {"outputs are not inputs",
         "void main(float4 p : SV_Position, out float4 o : SV_Target) { o = p; }",
         true,
         {"SV_Position#0"}},
        {"struct members",
         "struct In { float4 p : SV_Position; // c\n float3 n : NORMAL; };\nfloat4 main(In i) : SV_Target { return 1; "
         "}",
         true,
         {"SV_Position#0", "NORMAL#0"}},
        {"calls and prototypes are not the definition",
         "float4 main(float4 p : SV_POSITION);\nfloat4 f() { return main(0); }\n"
         "float4 main(float4 q : SV_Position, float c : COLOR) : SV_Target { return q; }",
         true,
         {"SV_Position#0", "COLOR#0"}},
        {"commented-out definition", "/* float4 main(float4 p : SV_Position) { return p; } */", false, {}},
        {"no entry", "float4 other(float4 p : SV_Position) : SV_Target { return p; }", false, {}},
        {"index too large saturates",
         "float4 main(float4 t : TEXCOORD99999999999999999999) : SV_Target { return t; }",
         true,
         {"TEXCOORD#4294967295"}},
        {"unbalanced", "float4 main(float4 p : SV_Position", false, {}},
        {"nested structs are flattened in order",
         "struct P { float4 p : SV_Position; };\nstruct In { P pos; float2 uv : TEXCOORD; };\n"
         "float4 main(In i) : SV_Target { return 1; }",
         true,
         {"SV_Position#0", "TEXCOORD#0"}},
        {"a struct that holds itself ends",
         "struct S { S s; float c : COLOR; };\nfloat4 main(S s) : SV_Target { return 1; }",
         true,
         {"COLOR#0"}},
    };
    for (const Case& c : cases) {
        std::vector<SignatureParameter> inputs;
        EXPECT_EQ(c.found, SignatureScanner::scan(c.source, "main", inputs)) << c.what;
        std::vector<std::string> names;
        for (const auto& p : inputs) names.push_back(p.semanticName + "#" + std::to_string(p.semanticIndex));
        EXPECT_EQ(c.names, names) << c.what;
    }
}
