// Each pixel turned about the map centre by an angle from the map's red.
#include "Displacement.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    const float2 q = floor(position.xy) + offset;
    float2 d[4];
    mapCorners(q, d);
    float2 lo = 1e30, hi = -1e30;
    [unroll] for (int i = 0; i < 4; ++i)
    {
        const float2 corner = q + float2(i & 1, i >> 1);
        float s, c;
        sincos(d[i].x * len.x, s, c);
        const float2 turned = float2(corner.x * c - corner.y * s, corner.x * s + corner.y * c);
        lo = min(lo, turned);
        hi = max(hi, turned);
    }
    return footprintSample(position.xy + (lo + hi) * 0.5 - (q + 0.5), hi - lo);
}
