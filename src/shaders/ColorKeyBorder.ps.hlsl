// The colour key's mask with the kept region shrunk at its edges, drawn to
// multiply the image's alpha.
#include "KeyWeight.hlsli"
#include "ColorKey.hlsli"
Texture2D<float4> mask : register(t0);

float4 main(float4 position : SV_Position) : SV_Target
{
    const float m = mask.Load(int3(int2(position.xy), 0)).a;
    if (m < 0.001)
        return float4(0, 0, 0, 0);
    return float4(0, 0, 0, shrinkWeight(mask, int2(position.xy), range, divie, m));
}
