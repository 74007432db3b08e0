// Brightness and contrast, with a turn of the hue and gains of luminance and
// colour difference on the straight colour.
#include "YuvColor.hlsli"
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    float brightness;
    float contrast;
    float hue;
    float luminance;
    float chroma;
    int processSaturate;
    int processYUV;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 c = texelAt(source, position);
    if (c.a < 0.001)
        return c;
    float3 rgb = c.rgb / c.a;
    if (processYUV != 0)
    {
        const float3 yuv = rgbToYuv(rgb);
        const float s = sin(hue), k = cos(hue);
        const float2 uv = float2(yuv.y * k - yuv.z * s, yuv.y * s + yuv.z * k);
        rgb = yuvToRgb(float3(yuv.x * luminance, uv * chroma));
    }
    rgb = rgb * contrast + brightness;
    float a = c.a;
    if (processSaturate != 0)
    {
        rgb = saturate(rgb);
        a = saturate(a);
    }
    return float4(rgb * a, a);
}
