// Waveform: each cell column k draws a line from its sample's level to the
// next column's, with soft ends towards the neighbours; cells are filled over
// their central part only.
#include "WaveCells.hlsli"

int waveLevel(int i)
{
    return (int)trunc(float(res.y) * (sampleAt(i) * vol + 0.5));
}

// (j - from) / span, or 0 for a span of nothing.
float ramp(float numerator, float span)
{
    return span != 0 ? numerator / span : 0;
}

float4 main(float4 position : SV_Position) : SV_Target
{
    const float2 R = float2(res);
    const float2 S = float2(size);
    const float2 cell = R * position.xy / S;
    const int k = (int)trunc(cell.x);
    const int j = (int)trunc(cell.y);
    const float2 f = cell - float2(k, j);
    if (outsideCell(f)) return float4(0, 0, 0, 0);
    const int a0 = waveLevel(k - 1), a1 = waveLevel(k), a2 = waveLevel(k + 1), a3 = waveLevel(k + 2);
    if ((a1 <= j && j <= a2 + 1) || (a2 <= j && j <= a1 + 1)) return color;
    float a = 0;
    if (a0 <= j && j <= a1 + 1)
        a = ramp(j - a0, a1 + 1 - a0);
    else if (a1 <= j && j <= a0 + 1)
        a = ramp(j - a0 - 1, a1 - a0 - 1);
    float b = 0;
    if (a2 <= j && j <= a3 + 1)
        b = ramp(j - a3 - 1, a2 - a3 - 1);
    else if (a3 <= j && j <= a2 + 1)
        b = ramp(j - a3, a2 + 1 - a3);
    return color * saturate(a + b);
}
