// Box pass, vertical, centred box; taps outside take the edge pixel.
#define VERTICAL 1
#define CLAMPED 1
#include "BoxBlurCompute.hlsli"
