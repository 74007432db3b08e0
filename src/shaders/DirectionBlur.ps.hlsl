// Direction blur: taps along a line weighted 1 - i^2 / N^2.
float weight(float i, float n)
{
    return 1 - (i * i) / (n * n);
}
#include "StreakSum.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return streak(position.xy);
}
