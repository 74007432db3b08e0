// Shifts two of the colour channels in opposite directions, mixed with the
// unshifted image by a strength.
Texture2D<float4> source : register(t0);
SamplerState linearBorder : register(s0);
cbuffer constant0 : register(b0)
{
    float2 inverseSize;
    float2 offset;
    float2 offsetR;
    float2 offsetG;
    float2 offsetB;
    float alpha;
    int mode;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float2 q = position.xy + offset;
    const float2 uv = q * inverseSize;
    const float4 r = source.Sample(linearBorder, uv + offsetR);
    const float4 g = source.Sample(linearBorder, uv + offsetG);
    const float4 b = source.Sample(linearBorder, uv + offsetB);
    float4 shifted = float4(r.r, g.g, b.b, (r.a + g.a + b.a) / 3);
    if (mode == 0)
        shifted.rgb *= shifted.a;
    const float4 original = source.Load(int3(int2(floor(q)), 0));
    return original + (shifted - original) * alpha;
}
