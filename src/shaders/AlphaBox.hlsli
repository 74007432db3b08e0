// The mean alpha of 2r + 1 texels along one axis (outside counts as 0), as
// (0, 0, 0, mean). Define VERTICAL (0 or 1) before including; the shader's
// main calls alphaBox (the build reads main's signature from the shader file).
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    int2 range;
    float2 divive;
};

float4 alphaBox(float4 position)
{
    const int2 p = int2(position.xy);
    float sum = 0;
#if VERTICAL
    for (int i = -range.y; i <= range.y; ++i)
        sum += source.Load(int3(p.x, p.y + i, 0)).a;
    return float4(0, 0, 0, sum * divive.y);
#else
    for (int i = -range.x; i <= range.x; ++i)
        sum += source.Load(int3(p.x + i, p.y, 0)).a;
    return float4(0, 0, 0, sum * divive.x);
#endif
}
