// Circular waves around a centre push each pixel along its radius.
SamplerState linearSampler : register(s0);
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    float2 center;
    float2 multiply;  // 1 / wavelength, half the height
    float offset;     // how far the waves have travelled
    int rippleNum;    // waves shown, 0 for endless
    int interval;     // every interval-th wave is drawn
    int amplifier;    // waves that grow (> 0) or fade (< 0)
};

float4 main(float4 position : SV_Position) : SV_Target
{
    float width, height;
    source.GetDimensions(width, height);
    const float4 here = source.Load(int3(int2(position.xy), 0));
    const float2 d = position.xy - center;
    const float r = length(d);
    if (r <= 0)
        return here;
    const float wave = (offset - r) * multiply.x;
    const int k = int(floor(wave));
    if (rippleNum > 0 && (k < 0 || k >= rippleNum))
        return here;
    if (interval > 0 && k % interval != 0)
        return here;
    float h = (cos(6.283185307 * (wave - k)) - 1) * multiply.y / r;
    if (amplifier > 0 && k < amplifier)
        h *= float(k) / float(amplifier);
    else if (amplifier < 0)
        h = k < -amplifier ? h * (float(k) / float(-amplifier) - 1) : 0;
    return source.Sample(linearSampler, (position.xy + d * h) / float2(width, height));
}
