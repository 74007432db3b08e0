// Unsharp mask: the image pushed away from its blurred copy.
Texture2D<float4> source : register(t0);
Texture2D<float4> blurBuffer : register(t1);
cbuffer Constant : register(b0)
{
    float level;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const int3 p = int3(int2(position.xy), 0);
    const float4 c = source.Load(p);
    const float4 b = blurBuffer.Load(p);
    return float4(clamp(c.rgb + (c.rgb - b.rgb) * level, 0, c.a), c.a);
}
