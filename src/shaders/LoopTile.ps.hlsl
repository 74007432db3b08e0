// The source repeated `tiles` times across and down from `offset` (in
// images): the wrapping sampler does the repetition.
Texture2D<float4> source : register(t0);
SamplerState wrapSampler : register(s0);
cbuffer constant0 : register(b0)
{
    float2 offset;
    float2 tiles;
};

float4 main(float4 position : SV_Position, float2 uv : TEXCOORD) : SV_Target
{
    return source.Sample(wrapSampler, offset + uv * tiles);
}
