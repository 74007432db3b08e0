// The brighter of the blurred colour and the sharp colour under the blurred
// coverage, at the strength.
Texture2D<float4> source : register(t0);
Texture2D<float4> frameBuffer : register(t1);
cbuffer Constant : register(b0)
{
    int2 offset;
    float level;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const int2 p = int2(position.xy);
    const float4 b = source.Load(int3(p, 0));
    const float4 c = frameBuffer.Load(int3(p + offset, 0));
    return float4(max(b.rgb, c.rgb * b.a), b.a) * level;
}
