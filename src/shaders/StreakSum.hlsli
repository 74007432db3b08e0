// A two-sided streak: weighted taps forward along `step` and backward along
// `step` scaled by `stepRatio`, normalised by the weights used. Define
// weight(i, n) before including; the shader's main calls streak.
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    float2 offset;  // source position of the target's pixel (0, 0)
    float2 step;
    float stepRatio;
    int sampleNum;
};

float4 streak(float2 position)
{
    const float2 p = position + offset;
    const float n = float(sampleNum);
    float4 sum = 0;
    float total = 0;
    for (int i = 0; i < sampleNum; ++i) {
        const float w = weight(float(i), n);
        sum += w * source.Load(int3(int2(p + step * i), 0));
        total += w;
    }
    for (int j = 1; j < sampleNum; ++j) {
        const float w = weight(float(j), n);
        sum += w * source.Load(int3(int2(p - step * (j * stepRatio)), 0));
        total += w;
    }
    return sum / total;
}
