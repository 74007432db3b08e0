// Bright pass: what lies above the threshold in luma, scaled and limited.
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    float threshold;
    float ratio;
    float limit;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 c = source.Load(int3(int2(position.xy), 0));
    const float k = max(dot(c.rgb, float3(0.299, 0.587, 0.114)) - threshold, 0) * ratio;
    return float4(min(c.rgb * k, limit), min(k, 1));
}
