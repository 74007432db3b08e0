// Box pass, horizontal, centred box; taps outside take the edge pixel.
#define VERTICAL 0
#define CLAMPED 1
#include "BoxBlurCompute.hlsli"
