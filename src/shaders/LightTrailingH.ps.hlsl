// Horizontal trailing box of all channels.
#define VERTICAL 0
#define TRAILING 1
#define VALUE 0
#include "LightBox.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return lightBox(position);
}
