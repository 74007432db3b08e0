// Textured vertex lists with the depth layers and normals.
#define DEPTH_LAYERS
#define NORMAL_LAYERS
#include "VertexList.hlsli"

float4 main(TexturedNormalVertex v, bool front : SV_IsFrontFace) : SV_Target
{
    const int2 p = int2(v.position.xy);
    const float d = fragmentDepth(v.position);
    const float e = depthBuffer[p] - d + 0.5;
    if (e <= 0)
        discard;
    float4 color = readSource(v.uv);
    if (!applyBlend(color, targetBehind(p)))
        discard;
    color *= v.alpha;
    const float4 normal = float4(front ? v.normal.xyz : -v.normal.xyz, shine);
    if (!storeLayers(p, d, e, color, normal))
        discard;
    return color;
}
