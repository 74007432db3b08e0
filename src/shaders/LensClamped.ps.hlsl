// Lens kernel read pixel by pixel, the taps clamped to the source.
#define KIND 1
#include "LensKernel.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return lensKernel(position);
}
