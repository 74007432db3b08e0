// Cuts a sector below half a turn.
#include "ClipSector.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    const float2 q = position.xy + offset;
    const float a = smooth01((range - max(dot(q, directionS), dot(q, directionE))) / (2 * range));
    const float b = smooth01((limit - dot(q, directionL)) / limit);
    return float4(0, 0, 0, 1 - a * b);
}
