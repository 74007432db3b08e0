// The lens kernel: each pixel the mean of the window of source pixels around
// it weighted by the alpha of a figure mask (row 0 of the mask weighting the
// lowest row of the window). Define KIND (0 direct, 1 direct with the taps
// clamped to the source, 2 sampled from a reduced source through s0) before
// including; the shader's main calls the function below.
Texture2D<float4> source : register(t0);
Texture2D<float4> mask : register(t1);
SamplerState sourceSampler : register(s0);
cbuffer Constant : register(b0)
{
    float2 offset;  // where the window of the target's pixel (0, 0) starts
    float2 step;    // normalised distance between two taps (sampled)
    float2 ratio;   // 1 / source width, 1 / source height (sampled)
    int sampleNum;
};

float4 lensKernel(float4 position)
{
    uint width, height;
    source.GetDimensions(width, height);
    float4 sum = 0;
    float total = 0;
    for (int j = 0; j < sampleNum; ++j)
        for (int i = 0; i < sampleNum; ++i) {
            const float w = mask.Load(int3(i, j, 0)).a;
#if KIND == 2
            const float2 uv = float2(position.x * ratio.x + offset.x + i * step.x,
                                     position.y * ratio.y + offset.y - (j + 1) * step.y);
            const float4 tap = source.SampleLevel(sourceSampler, uv, 0);
#else
            int2 at = int2(position.xy + offset + float2(i, -1 - j));
#if KIND == 1
            at = clamp(at, int2(0, 0), int2(width, height) - 1);
#endif
            const float4 tap = source.Load(int3(at, 0));
#endif
            sum += w * tap;
            total += w;
        }
    return total > 0 ? sum / total : 0;
}
