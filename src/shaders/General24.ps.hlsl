// Blend-mode compositor: the source combined with a copy of the target.
#include "BlendMode.hlsli"
Texture2D<float4> source : register(t0);
Texture2D<float4> frameBuffer : register(t1);
cbuffer constant0 : register(b0)
{
    int blend;
    float alpha;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const int3 p = int3(int2(position.xy), 0);
    const float4 s = source.Load(p);
    if (s.a < 0.001)
        discard;
    return blendMode(blend, s, frameBuffer.Load(p)) * alpha;
}
