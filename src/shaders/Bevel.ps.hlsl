// Lights the edges of the shape: the alpha ahead along `step` minus the alpha
// behind brightens or darkens the straight colour.
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    float2 step;
    float depth;
    int sampleNum;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 c = source.Load(int3(int2(position.xy), 0));
    if (c.a < 0.001) return c;
    float sum = 0;
    for (int i = 1; i <= sampleNum; ++i)
        sum += source.Load(int3(int2(position.xy + step * i), 0)).a - source.Load(int3(int2(position.xy - step * i), 0)).a;
    const float3 k = saturate(c.rgb / c.a + sum * depth);
    return float4(k * c.a, c.a);
}
