// Filtered sample of the source at the texture coordinate (the caller's sampler).
Texture2D<float4> source : register(t0);
SamplerState sourceSampler : register(s0);

float4 main(float4 position : SV_Position, float2 uv : TEXCOORD) : SV_Target
{
    return source.Sample(sourceSampler, uv);
}
