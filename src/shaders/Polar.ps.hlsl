// The image wrapped around the centre: the angle runs along the rows, the
// radius down the columns, with a swirl that turns the angle with the radius.
SamplerState mirrorSampler : register(s0);
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    float rsize;   // radius of the disc (also its centre)
    float offset;  // radius of the hole in the middle
    float pix;     // rotation
    float pia;     // swirl per pixel of radius
    float pio;     // widening of the footprint by the swirl
    float kx;      // source pixels per radian
    float ky;      // source rows per pixel of radius
};

float4 main(float4 position : SV_Position) : SV_Target
{
    float width, height;
    source.GetDimensions(width, height);
    const float2 d = position.xy - rsize;
    const float r = length(d);
    const float theta = atan2(d.y, d.x);
    float x = kx * (pix + pia * (rsize - r) - theta);
    x -= width * floor(x / width);
    const float y = r * ky - offset;
    const float2 size = float2(width, height);
    const float footprint = kx / max(r, 1) * 1.41421356 + pio;
    if (footprint <= 1.05)
        return source.SampleLevel(mirrorSampler, float2(x, y) / size, 0);
    const int n = min(int(trunc(footprint * 0.5 + 1.5)), 16);
    const float step = footprint / n;
    float4 sum = 0;
    for (int i = 0; i < n; ++i)
    {
        const float sx = x - footprint * 0.5 + step * (i + 0.5);
        sum += source.SampleLevel(mirrorSampler, float2(sx, y - 0.25) / size, 0);
        sum += source.SampleLevel(mirrorSampler, float2(sx, y + 0.25) / size, 0);
    }
    return sum / (2 * n);
}
