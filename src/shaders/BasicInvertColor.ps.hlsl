// Inverts the luminance (Y' = step Y + offset) and turns the hue half round
// (colour difference times invert).
#include "YuvColor.hlsli"
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    float offset;
    float step;
    float invert;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 c = texelAt(source, position);
    if (c.a < 0.001)
        return c;
    float3 yuv = rgbToYuv(c.rgb / c.a);
    yuv.x = step * yuv.x + offset;
    yuv.yz *= invert;
    return float4(yuvToRgb(yuv) * c.a, c.a);
}
