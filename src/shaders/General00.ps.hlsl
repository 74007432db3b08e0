// Input conversion: the source's colour with alpha 1, moved by an offset and
// multiplied by a matrix whose rows are the output components.
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    row_major float4x4 transform;
    float4 offset;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 c = float4(source.Load(int3(int2(position.xy), 0)).rgb, 1) + offset;
    return mul(transform, c);
}
