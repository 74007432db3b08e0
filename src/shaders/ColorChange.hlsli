// What the colour-change passes share: the image, the chroma key's key map of
// the colour to replace, and the constants.
#include "YuvColor.hlsli"
#include "KeyWeight.hlsli"
Texture2D<float4> source : register(t0);
Texture2D<float4> keyMap : register(t1);
cbuffer constant0 : register(b0)
{
    float afterY;
    float afterU;
    float afterV;
    float beforeY;
    float beforeU;
    float beforeV;
    int range;
    float divie;
    float correct;
};

// The texel with the colours near the key replaced, by the key weight w
// (0 replaces fully, 1 keeps).
float4 changed(float4 c, float4 k, float w)
{
    const float y = rgbToYuv(c.rgb / c.a).x;
    const float g = k.x * correct;
    const float2 before = float2(beforeU, beforeV);
    const float2 chroma = (g > 0 && g < 1) ? clamp((k.yz - before) / g + before, -0.5, 0.5) : k.yz;
    const float replaced = y * afterY / max(y, beforeY);
    const float2 after = float2(afterU, afterV);
    const float3 yuv = float3(replaced + w * (y - replaced), after + w * (chroma - after));
    return float4(yuvToRgb(yuv) * c.a, c.a);
}
