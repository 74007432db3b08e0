// Coloured vertex lists.
#include "VertexList.hlsli"

float4 main(ColoredVertex v) : SV_Target
{
    float4 color = v.color;
    if (!applyBlend(color, frameBuffer.Load(int3(int2(v.position.xy), 0))))
        discard;
    return color;
}
