// A linear, circular, square or ridge gradient between two colours, inside
// the source's alpha.
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    float4 col0;
    float4 col1;
    float2 offset;
    float2 direction;
    float range;
    int type;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float2 q = position.xy + offset;
    const float R = range;
    float f = 0;
    switch (type)
    {
    case 0: f = 1 - smoothstep(0, 1, (dot(q, direction) + R / 2) / R); break;
    case 1: f = smoothstep(0, 1, length(q) / R); break;
    case 2:
        f = 1 - smoothstep(0, 1, (R - abs(dot(q, direction)) - abs(dot(q, float2(-direction.y, direction.x)))) / R);
        break;
    case 3: f = 1 - smoothstep(0, 1, (R - abs(dot(q, direction))) / R); break;
    }
    return (col0 + f * (col1 - col0)) * source.Load(int3(int2(position.xy), 0)).a;
}
