// Box pass, horizontal, centred box; taps outside read 0.
#define VERTICAL 0
#define CLAMPED 0
#include "BoxBlurCompute.hlsli"
