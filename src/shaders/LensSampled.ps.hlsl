// Lens kernel sampled from a reduced source.
#define KIND 2
#include "LensKernel.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return lensKernel(position);
}
