// The partial filter's mix with a coverage mask (a filled figure, alpha
// only): its alpha is the coverage.
#include "PartEffect.hlsli"

Output main(float4 position : SV_Position)
{
    float4 texel;
    Output o = partEffect(position.xy, texel);
    o.coverage.a = texel.a;
    return o;
}
