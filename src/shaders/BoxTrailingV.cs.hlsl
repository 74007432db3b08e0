// Box pass, vertical, trailing box of a growing target; taps outside read 0.
#define VERTICAL 1
#define CLAMPED 0
#include "BoxBlurCompute.hlsli"
