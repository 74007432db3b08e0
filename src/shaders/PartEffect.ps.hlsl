// The partial filter's mix with a colour mask: its luminance is the coverage.
#include "PartEffect.hlsli"

Output main(float4 position : SV_Position)
{
    float4 texel;
    Output o = partEffect(position.xy, texel);
    o.coverage.a = dot(texel.rgb, float3(0.299, 0.587, 0.114));
    return o;
}
