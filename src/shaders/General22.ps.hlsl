// Back from the exponential scale of shader 21.
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    float baseInverse;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 c = source.Load(int3(int2(position.xy), 0));
    return float4((log(c.rgb) - 1) * baseInverse, c.a);
}
