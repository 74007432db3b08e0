// An outline from the alpha of the source: the weighted coverage of a disc of
// radius `range` around the pixel, eased into the colour. Define SAMPLED (0:
// the source read pixel by pixel; 1: a reduced source sampled between its
// texels through s0) before including; the shader's main calls outline.
Texture2D<float4> source : register(t0);
SamplerState sourceSampler : register(s0);
cbuffer Constant : register(b0)
{
    float4 color;
    float2 offset;
    float2 step;
    float2 ratio;
    int range;
    float inverseRange;
    float limit;
};

float alphaAt(float2 position, int dx, int dy)
{
#if SAMPLED
    const float2 uv = position * ratio + offset + float2((dx + range) * step.x, (dy + range) * step.y);
    return source.SampleLevel(sourceSampler, uv, 0).a;
#else
    return source.Load(int3(int2(position) + int2(offset) + int2(dx, dy), 0)).a;
#endif
}

float4 outline(float4 position)
{
    float sum = 0;
    for (int dy = -range; dy <= range; ++dy)
        for (int dx = -range; dx < range; ++dx) {
            const float w = 1 - min(sqrt(float(dx * dx + dy * dy)) * inverseRange, 1);
            sum += w * alphaAt(position.xy, dx, dy);
        }
    const float t = saturate(sum / limit);
    return t * t * (3 - 2 * t) * color;
}
