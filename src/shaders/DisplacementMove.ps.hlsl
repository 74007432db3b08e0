// Each pixel taken from where the map sends it: moved by the map's values,
// or (type 1) scaled about the map centre by them.
#include "Displacement.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    const float2 q = floor(position.xy) + offset;
    float2 d[4];
    mapCorners(q, d);
    float2 lo = d[0] * len, hi = lo;
    [unroll] for (int i = 1; i < 4; ++i)
    {
        lo = min(lo, d[i] * len);
        hi = max(hi, d[i] * len);
    }
    if (type == 1)
    {
        const float2 a = lo * q, b = hi * q;
        lo = min(a, b);
        hi = max(a, b);
    }
    return footprintSample(position.xy + (lo + hi) * 0.5, hi - lo);
}
