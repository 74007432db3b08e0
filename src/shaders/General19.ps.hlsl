// Resize: one filtered sample where the scale is near 1, otherwise the mean of
// up to 16 x 16 samples spread over the footprint of the output pixel.
SamplerState linearSampler : register(s0);
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    float2 inverseRatio;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    float width, height;
    source.GetDimensions(width, height);
    const float2 size = float2(width, height);
    const float2 uv = position.xy * inverseRatio / size;
    const float2 ratio = abs(inverseRatio);
    if (ratio.x < 1.05 && ratio.y < 1.05)
        return source.Sample(linearSampler, uv);
    const int2 n = min(int2(trunc(ratio * 0.5 + 1.5)), 16);
    const float2 cell = inverseRatio / size / float2(n);
    const float2 start = uv - inverseRatio / size * 0.5 + cell * 0.5;
    float4 sum = 0;
    for (int y = 0; y < n.y; ++y)
        for (int x = 0; x < n.x; ++x)
            sum += source.SampleGrad(linearSampler, start + cell * float2(x, y), float2(cell.x, 0), float2(0, cell.y));
    return sum / (n.x * n.y);
}
