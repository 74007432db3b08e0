// The source moved by an offset; reads outside the source take the nearest edge texel.
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    int2 offset;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    uint width, height;
    source.GetDimensions(width, height);
    int2 p = clamp(int2(position.xy) + offset, int2(0, 0), int2(width, height) - 1);
    return source.Load(int3(p, 0));
}
