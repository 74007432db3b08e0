// What the chroma key's passes share: the image, the key map and the constants.
#include "YuvColor.hlsli"
#include "KeyWeight.hlsli"
Texture2D<float4> source : register(t0);
Texture2D<float4> keyMap : register(t1);
cbuffer constant0 : register(b0)
{
    float keyH;
    float keyS;
    float lenH;
    float lenS;
    float keyU;
    float keyV;
    int range;
    float divie;
    float correct;
    float transparent;
};

// The texel keyed by the key-map texel k with the key weight w.
float4 keyed(float4 c, float4 k, float w)
{
    w *= min(max(k.x, transparent), 1);
    const float g = k.x * correct;
    if (g < 0.001 || g >= 1)
        return c * w;
    // The colour spilt from the key is pushed away from it.
    const float2 key = float2(keyU, keyV);
    const float2 uv = clamp((k.yz - key) / g + key, -0.5, 0.5);
    const float y = rgbToYuv(c.rgb / c.a).x;
    return float4(yuvToRgb(float3(y, uv)) * c.a, c.a) * w;
}
