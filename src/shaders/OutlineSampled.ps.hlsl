// Outline from a reduced source, sampled between its texels.
#define SAMPLED 1
#include "Outline.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return outline(position);
}
