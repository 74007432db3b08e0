// Blend-mode compositor with the source moved by an offset.
#include "BlendMode.hlsli"
Texture2D<float4> source : register(t0);
Texture2D<float4> frameBuffer : register(t1);
cbuffer constant0 : register(b0)
{
    int blend;
    float alpha;
    int2 offset;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const int2 p = int2(position.xy);
    const float4 s = source.Load(int3(p + offset, 0));
    if (s.a < 0.001)
        discard;
    return blendMode(blend, s, frameBuffer.Load(int3(p, 0))) * alpha;
}
