// Fades the image out toward its borders over range pixels on each axis.
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    int2 range;
    float2 divive;
};

float fade(float distance, int radius)
{
    const float t = radius > 0 ? saturate(distance / radius) : 1;
    return 1 - (3 * t * t - 2 * t * t * t);
}

float4 main(float4 position : SV_Position) : SV_Target
{
    uint width, height;
    source.GetDimensions(width, height);
    const float2 p = position.xy;
    const float ux = fade(min(p.x, width - p.x), range.x);
    const float uy = fade(min(p.y, height - p.y), range.y);
    const float f = max(0, 1 - sqrt(ux * ux + uy * uy));
    return source.Load(int3(int2(p), 0)) * f;
}
