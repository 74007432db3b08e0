// A colour in the shape of the source's alpha.
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    float4 color;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    return color * source.Load(int3(position.xy, 0)).a;
}
