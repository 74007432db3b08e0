// The colour key's mask: opaque where the colour lies outside the box of
// ranges about the key in luminance and colour difference.
#include "YuvColor.hlsli"
#include "ColorKey.hlsli"
Texture2D<float4> source : register(t0);

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 c = texelAt(source, position);
    if (c.a < 0.001)
        return float4(0, 0, 0, 0);
    const float3 d = abs(rgbToYuv(c.rgb / c.a) - key);
    return float4(0, 0, 0, any(d >= len) ? 1 : 0);
}
