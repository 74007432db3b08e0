// Vertical mean of alpha.
#define VERTICAL 1
#include "AlphaBox.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return alphaBox(position);
}
