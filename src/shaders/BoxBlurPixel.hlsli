// One box pass of the blur (each shader's main calls boxPass at its pixel):
// the mean of 2 * range + 1 source pixels along one axis. Define VERTICAL (0
// or 1), TRAILING (1: the target is the source grown by 2 * range along the
// axis and the box ends at the pixel, S[p - 2r] .. S[p]; 0: the box is centred,
// S[p - r] .. S[p + r]) and CLAMPED (0: taps outside the source read
// transparent black, 1: they take the nearest edge pixel) before including.
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    int width;
    int height;
    int range;
    float divive;
};

float4 tap(int2 p, int at)
{
#if CLAMPED
#if VERTICAL
    at = clamp(at, 0, height - 1);
#else
    at = clamp(at, 0, width - 1);
#endif
#endif
    // A load outside the source reads 0.
#if VERTICAL
    return source.Load(int3(p.x, at, 0));
#else
    return source.Load(int3(at, p.y, 0));
#endif
}

float4 boxPass(int2 p)
{
#if VERTICAL
    const int centre = p.y - TRAILING * range;
#else
    const int centre = p.x - TRAILING * range;
#endif
    float4 sum = 0;
    for (int i = -range; i <= range; ++i)
        sum += tap(p, centre + i);
    return sum * divive;
}
