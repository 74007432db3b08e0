// Replaces the colours near the key, without edge correction.
#include "ColorChange.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 c = texelAt(source, position);
    if (c.a < 0.001)
        return float4(0, 0, 0, 0);
    const float4 k = texelAt(keyMap, position);
    return changed(c, k, k.w);
}
