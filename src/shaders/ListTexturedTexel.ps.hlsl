// Textured vertex lists drawn at the image's own size, unturned, with every
// pixel centre on a texel centre: the texel itself, read without filtering.
#include "VertexList.hlsli"

float4 main(TexturedVertex v) : SV_Target
{
    float4 color = readSourceTexel(v.uv);
    // The target is read only for a blend mode: plain drawing skips the load.
    if (blend != 0 && !applyBlend(color, frameBuffer.Load(int3(int2(v.position.xy), 0))))
        discard;
    return color * v.alpha;
}
