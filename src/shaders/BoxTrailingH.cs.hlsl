// Box pass, horizontal, trailing box of a growing target; taps outside read 0.
#define VERTICAL 0
#define CLAMPED 0
#include "BoxBlurCompute.hlsli"
