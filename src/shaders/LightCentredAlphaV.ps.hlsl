// Vertical centred box of alpha, coloured.
#define VERTICAL 1
#define TRAILING 0
#define VALUE 1
#include "LightBox.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return lightBox(position);
}
