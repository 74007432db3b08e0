// The filtered image put back over the frame through a turned, sized mask:
// the first output is the filtered pixel moved by the offset, the second
// carries the mask's coverage in its alpha for the blend that mixes the two.
// Each shader's main calls partEffect and takes the coverage from the texel.
Texture2D<float4> texture0 : register(t0);
Texture2D<float4> mask : register(t1);
SamplerState sampler0 : register(s0);
cbuffer constant0 : register(b0)
{
    int2 offset;
    float2 offsetMask;
    float2 inverseMaskSize;
    float angleS;
    float angleC;
};

struct Output
{
    float4 colour : SV_Target0;
    float4 coverage : SV_Target1;
};

// The filtered pixel, and the mask texel at the pixel centre (the mask
// centred at the frame centre plus its position, turned, outside it 0).
Output partEffect(float2 position, out float4 texel)
{
    Output o;
    o.colour = texture0.Load(int3(int2(position) + offset, 0));
    const float2 q = position + offsetMask;
    const float2 uv = float2(q.x * angleC + q.y * angleS, -q.x * angleS + q.y * angleC) * inverseMaskSize + 0.5;
    texel = mask.Sample(sampler0, uv);
    o.coverage = float4(0, 0, 0, 0);
    return o;
}
