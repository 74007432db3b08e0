// Box pass, horizontal, centred box; taps outside take the edge pixel.
#define VERTICAL 0
#define TRAILING 0
#define CLAMPED 1
#include "BoxBlurPixel.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return boxPass(int2(position.xy));
}
