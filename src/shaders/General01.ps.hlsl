// Output conversion: the clamped source multiplied by a matrix whose rows are
// the output components, then moved by an offset.
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    row_major float4x4 transform;
    float4 offset;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 c = saturate(source.Load(int3(int2(position.xy), 0)));
    return mul(transform, c) + offset;
}
