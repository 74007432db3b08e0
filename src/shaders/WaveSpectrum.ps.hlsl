// Spectrum: bars of cells growing upwards to each band's level.
#include "WaveCells.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    const float2 R = float2(res);
    const float2 S = float2(size);
    const float cx = R.x * position.x / S.x;
    const float cy = R.y * (S.y - position.y) / S.y;
    const int k = (int)trunc(cx);
    const int j = (int)trunc(cy);
    if (outsideCell(float2(cx - k, cy - j))) return float4(0, 0, 0, 0);
    const int level = (int)trunc(R.y * sampleAt(k) * vol);
    return j < level ? color : float4(0, 0, 0, 0);
}
