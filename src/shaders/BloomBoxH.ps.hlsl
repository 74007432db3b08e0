// The camera bloom's box pass along the row: the mean of 2 * range + 1
// texels centred on the pixel; texels outside the image count as 0.
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    int range;
    float divive;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const int2 p = int2(position.xy);
    float4 sum = 0;
    for (int i = -range; i <= range; ++i)
        sum += source.Load(int3(p.x + i, p.y, 0));
    return sum * divive;
}
