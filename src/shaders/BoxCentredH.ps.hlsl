// Box pass, horizontal, centred box; taps outside read 0.
#define VERTICAL 0
#define TRAILING 0
#define CLAMPED 0
#include "BoxBlurPixel.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return boxPass(int2(position.xy));
}
