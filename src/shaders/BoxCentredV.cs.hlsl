// Box pass, vertical, centred box; taps outside read 0.
#define VERTICAL 1
#define CLAMPED 0
#include "BoxBlurCompute.hlsli"
