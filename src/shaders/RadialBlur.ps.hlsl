// Radial blur: each pixel averaged along the segment from itself toward the
// centre, over the fraction sampleStep * sampleNum of the distance.
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    int sampleNum;
    float sampleStep;
    float2 center;
    float2 offset;  // source position of the target's pixel (0, 0)
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float2 p = position.xy + offset;
    const float2 d = center - p;
    float4 sum = 0;
    for (int i = 0; i < sampleNum; ++i)
        sum += source.Load(int3(int2(p + d * (sampleStep * i)), 0));
    return sum / sampleNum;
}
