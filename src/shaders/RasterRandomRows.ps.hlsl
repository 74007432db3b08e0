// Rows moved sideways by a mixture of waves of random height.
#define RASTER_RANDOM
#include "RasterShift.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return rasterShift(position);
}
