// Columns moved up and down by a mixture of waves of random height.
#define RASTER_COLUMNS
#define RASTER_RANDOM
#include "RasterShift.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return rasterShift(position);
}
