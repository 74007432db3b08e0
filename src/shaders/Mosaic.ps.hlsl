// Each pixel takes the averaged cell it lies in.
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    float2 offset;
    float length;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    return source.Load(int3(int2(trunc((position.xy + offset) / length)), 0));
}
