// Keeps the side of a line that the direction points to, with a soft edge of
// `length` pixels centred on the line; writes only the alpha the target is
// multiplied by.
cbuffer constant0 : register(b0)
{
    float2 offset;
    float2 direction;
    float length;
    float range;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float d = dot(position.xy + offset, direction) + length * 0.5;
    const float t = saturate(d / length);
    return float4(0, 0, 0, t * t * (3 - 2 * t));
}
