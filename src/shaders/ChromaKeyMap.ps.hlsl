// The key map: x the distance from the key in hue and saturation, y and z the
// pixel's colour difference, w the key weight (0 at the key, 1 far from it).
#include "ChromaKey.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 c = texelAt(source, position);
    if (c.a < 0.001)
        return float4(0, 0, 0, 0);
    const float2 uv = rgbToYuv(c.rgb / c.a).yz;
    const float h = atan2(uv.y, uv.x);
    const float s = length(uv);
    const float e = abs(h / 3.14159265 - keyH);
    const float d = e < 1 ? e : 2 - e;
    const float outside = max(d - lenH, 0);
    return float4(max(abs(keyS - s) / keyS, 8 * outside), uv, min(8 * (outside + max(abs(s - keyS) - lenS, 0)), 1));
}
