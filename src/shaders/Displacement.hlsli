// What the displacement passes share: the map placed over the object read at
// the four corners of a pixel, and the footprint sampling of the source.
SamplerState borderSampler : register(s0);
Texture2D<float4> source : register(t0);
Texture2D<float4> map : register(t1);
cbuffer Constant : register(b0)
{
    float2 offset;           // from the pixel to the map centre
    float2 len;              // strength of the displacement
    float2 inverseMaskSize;  // one object pixel in map coordinates
    float angleS;            // the map's rotation
    float angleC;
    int type;                // 0 move, 1 scale
};

// The map's signed values (red, green) at the corners of the pixel whose
// top-left corner lies at q from the map centre: (colour - 0.5) x alpha.
void mapCorners(float2 q, out float2 d[4])
{
    const float2 c = q + 0.5;
    const float2 turned = float2(c.x * angleC + c.y * angleS, -c.x * angleS + c.y * angleC);
    const float2 uv = (turned - 0.5) * inverseMaskSize + 0.5;
    [unroll] for (int i = 0; i < 4; ++i)
    {
        const float4 m = map.SampleLevel(borderSampler, uv + float2(i & 1, i >> 1) * inverseMaskSize, 0);
        d[i] = m.rg - m.a * 0.5;
    }
}

// The source around the centre (in source pixels) over a footprint of the
// size: one sample when it is small, else the mean of a grid covering it.
float4 footprintSample(float2 centre, float2 size)
{
    float width, height;
    source.GetDimensions(width, height);
    const float2 dims = float2(width, height);
    const float2 extent = abs(size);
    if (extent.x < 1.05 && extent.y < 1.05)
        return source.SampleLevel(borderSampler, centre / dims, 0);
    const int2 n = min(int2(trunc(extent * 0.5 + 1.5)), 16);
    const float2 step = extent / float2(n);
    const float2 start = centre - extent * 0.5 + step * 0.5;
    float4 sum = 0;
    for (int y = 0; y < n.y; ++y)
        for (int x = 0; x < n.x; ++x)
            sum += source.SampleLevel(borderSampler, (start + step * float2(x, y)) / dims, 0);
    return sum / float(n.x * n.y);
}
