// Lens kernel read pixel by pixel.
#define KIND 0
#include "LensKernel.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return lensKernel(position);
}
