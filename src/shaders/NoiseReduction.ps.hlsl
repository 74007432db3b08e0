// Averages away the colour differences below the threshold in the window
// around the pixel, leaving larger ones (edges) alone.
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    int range;
    float level;
    float limit;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const int2 p = int2(position.xy);
    const float4 c = source.Load(int3(p, 0));
    if (c.a < 0.001) return c;
    float3 sum = 0;
    for (int dy = -range; dy <= range; ++dy)
        for (int dx = -range; dx <= range; ++dx) {
            const float4 n = source.Load(int3(p + int2(dx, dy), 0));
            const float3 d = n.rgb - c.rgb;
            const float3 a = abs(d);
            const float3 m = min(max(a - max(2 * (a - limit), 0), 0), min(c.a, n.a));
            sum += sign(d) * m;
        }
    return float4(c.rgb + sum * level, c.a);
}
