// Pulls each pixel's luminance and colour difference towards those of one
// colour, by a level per component.
#include "YuvColor.hlsli"
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    float4 level;
    float3 yuv;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 c = texelAt(source, position);
    const float3 from = rgbToYuv(c.rgb);
    const float3 to = yuv * c.a;
    return float4(yuvToRgb(from + (to - from) * level.xyz), c.a);
}
