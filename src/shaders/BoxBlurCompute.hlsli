// The box pass of BoxBlurPixel.hlsli as a running sum: each thread walks one
// whole column (VERTICAL 1) or row (VERTICAL 0) of the target, adding the tap
// that enters the box and subtracting the one that leaves it, so the cost per
// pixel does not depend on the radius. Threads of a group take neighbouring
// columns or rows; the caller dispatches ceil(count / LANES) groups. The box
// of target position i is centred on the source position half the growth
// back: a growth of 2r is the trailing box, none the centred one, and a
// target clamped to the largest image size keeps the content centred.
#define LANES 64
Texture2D<float4> src : register(t0);
RWTexture2D<float4> dst : register(u0);
cbuffer Constant : register(b0)
{
    int width;
    int height;
    int range;
    float divide;
};

float4 tap(int strip, int at, int length)
{
#if CLAMPED
    at = clamp(at, 0, length - 1);
#endif
    // A load outside the source reads 0.
#if VERTICAL
    return src.Load(int3(strip, at, 0));
#else
    return src.Load(int3(at, strip, 0));
#endif
}

#if VERTICAL
[numthreads(LANES, 1, 1)]
#else
[numthreads(1, LANES, 1)]
#endif
void main(uint3 id : SV_DispatchThreadID)
{
    uint sourceWidth, sourceHeight;
    src.GetDimensions(sourceWidth, sourceHeight);
#if VERTICAL
    const int strip = int(id.x);
    if (strip >= width)
        return;
    const int length = int(sourceHeight);
    const int count = height;
#else
    const int strip = int(id.y);
    if (strip >= height)
        return;
    const int length = int(sourceWidth);
    const int count = width;
#endif
    // The box of target position i covers the source from i + first to i + first + 2r.
    const int first = -(count - length) / 2 - range;
    float4 sum = 0;
    for (int k = first; k < first + 2 * range; ++k)
        sum += tap(strip, k, length);
    for (int i = 0; i < count; ++i) {
        sum += tap(strip, i + first + 2 * range, length);
#if VERTICAL
        dst[int2(strip, i)] = sum * divide;
#else
        dst[int2(i, strip)] = sum * divide;
#endif
        sum -= tap(strip, i + first, length);
    }
}
