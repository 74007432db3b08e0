// Mirrors the image: each pixel takes the texel at p * step + offset.
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    int2 offset;
    int2 step;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    return source.Load(int3(int2(position.xy) * step + offset, 0));
}
