// Columns moved up and down by a wave.
#define RASTER_COLUMNS
#include "RasterShift.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return rasterShift(position);
}
