// Textured vertex lists with the depth layers.
#define DEPTH_LAYERS
#include "VertexList.hlsli"

float4 main(TexturedVertex v) : SV_Target
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
    if (!storeLayers(p, d, e, color, 0))
        discard;
    return color;
}
