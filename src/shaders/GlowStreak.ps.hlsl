// Light streak: taps along a line with a smooth falloff toward its ends.
float weight(float i, float n)
{
    const float t = saturate((n - i) / n);
    return t * t * (3 - 2 * t);
}
#include "StreakSum.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return streak(position.xy);
}
