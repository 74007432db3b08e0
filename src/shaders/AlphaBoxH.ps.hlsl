// Horizontal mean of alpha.
#define VERTICAL 0
#include "AlphaBox.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return alphaBox(position);
}
