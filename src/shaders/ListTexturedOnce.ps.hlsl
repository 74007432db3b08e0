// Textured vertex lists drawn where no pixel shrinks the image: one read per pixel.
#include "VertexList.hlsli"

float4 main(TexturedVertex v) : SV_Target
{
    float4 color = readSourceOnce(v.uv);
    // The target is read only for a blend mode: plain drawing skips the load.
    if (blend != 0 && !applyBlend(color, frameBuffer.Load(int3(int2(v.position.xy), 0))))
        discard;
    return color * v.alpha;
}
