// A mask image to alpha: dark is opaque, with a smooth step between the limits.
SamplerState linearSampler : register(s0);
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    float limitMin;
    float limitMax;
    float2 scale;
};

float4 main(float4 position : SV_Position, float2 uv : TEXCOORD) : SV_Target
{
    const float4 c = source.Sample(linearSampler, (uv - 0.5) * scale + 0.5);
    const float v = 1 - dot(c.rgb, float3(0.299, 0.587, 0.114));
    const float t = saturate((v - limitMin) / (limitMax - limitMin));
    return float4(0, 0, 0, t * t * (3 - 2 * t));
}
