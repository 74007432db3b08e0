// Horizontal shrink: the mean of `step` source pixels, edges repeated.
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    int step;
    int offset;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    uint width, height;
    source.GetDimensions(width, height);
    const int2 p = int2(position.xy);
    const int first = p.x * step + offset;
    float4 sum = 0;
    for (int i = 0; i < step; ++i)
        sum += source.Load(int3(clamp(first + i, 0, int(width) - 1), p.y, 0));
    return sum / step;
}
