// Rows moved sideways by a wave.
#include "RasterShift.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return rasterShift(position);
}
