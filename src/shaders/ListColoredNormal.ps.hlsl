// Coloured vertex lists with the depth layers and normals.
#define DEPTH_LAYERS
#define NORMAL_LAYERS
#include "VertexList.hlsli"

float4 main(ColoredNormalVertex v, bool front : SV_IsFrontFace) : SV_Target
{
    const int2 p = int2(v.position.xy);
    const float d = fragmentDepth(v.position);
    const float e = depthBuffer[p] - d + 0.5;
    if (e <= 0)
        discard;
    float4 color = v.color;
    if (!applyBlend(color, targetBehind(p)))
        discard;
    const float4 normal = float4(front ? v.normal.xyz : -v.normal.xyz, shine);
    if (!storeLayers(p, d, e, color, normal))
        discard;
    return color;
}
