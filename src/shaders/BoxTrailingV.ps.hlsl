// Box pass, vertical, trailing box of a growing target; taps outside read 0.
#define VERTICAL 1
#define TRAILING 1
#define CLAMPED 0
#include "BoxBlurPixel.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return boxPass(int2(position.xy));
}
