// Cuts a sector of half a turn or more.
#include "ClipSector.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    const float2 q = position.xy + offset;
    const float a = smooth01((min(dot(q, directionS), dot(q, directionE)) + range) / (2 * range));
    const float b = smooth01((dot(q, directionL) + limit) / limit);
    return float4(0, 0, 0, a * b);
}
