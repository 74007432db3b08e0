// Keeps a band of 2 * |range| pixels along a line (range > 0) or cuts it
// (range < 0), the soft edge lying inside the kept part.
cbuffer constant0 : register(b0)
{
    float2 offset;
    float2 direction;
    float length;
    float range;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float d = range - sign(range) * abs(dot(position.xy + offset, direction));
    const float t = saturate(d / length);
    return float4(0, 0, 0, t * t * (3 - 2 * t));
}
