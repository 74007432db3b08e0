// Colour to an exponential scale, so that a blur weights bright light more.
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    float base;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 c = source.Load(int3(int2(position.xy), 0));
    return float4(exp(saturate(c.rgb) * base + 1), c.a);
}
