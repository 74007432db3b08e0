// Outline from the source read pixel by pixel.
#define SAMPLED 0
#include "Outline.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return outline(position);
}
