// A mask placed on the image, turned and scaled: the mask's luminance
// (premultiplied, so transparent counts as black) as the alpha the target is
// multiplied by. Outside the mask the border sampler reads 0.
SamplerState borderSampler : register(s0);
Texture2D<float4> mask : register(t0);
cbuffer constant0 : register(b0)
{
    float2 offset;
    float2 inverseMaskSize;
    float angleS;
    float angleC;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float2 q = position.xy + offset;
    const float2 uv = float2(q.x * angleC + q.y * angleS, -q.x * angleS + q.y * angleC) * inverseMaskSize + 0.5;
    const float4 c = mask.Sample(borderSampler, uv);
    return float4(0, 0, 0, dot(c.rgb, float3(0.299, 0.587, 0.114)));
}
