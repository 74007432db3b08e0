// One box pass of the blur (each shader's main calls boxPass at its pixel): the mean of 2 * range + 1 source pixels along one
// axis. Define VERTICAL (0 or 1) and CLAMPED (0: taps outside the source read
// transparent black, 1: they take the nearest edge pixel) before including.
//
// When the target is longer than the source along the axis (the growing
// passes), the box is centred on the source pixel that lies half the growth
// back; a growth of 2 * range makes that the trailing box S[p - 2r] .. S[p],
// and a target clamped to the largest image size keeps the content centred.
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    int width;
    int height;
    int range;
    float divive;
};

float4 boxPass(int2 p)
{
    uint sourceWidth, sourceHeight;
    source.GetDimensions(sourceWidth, sourceHeight);
#if VERTICAL
    const int length = int(sourceHeight);
    const int centre = p.y - (height - length) / 2;
#else
    const int length = int(sourceWidth);
    const int centre = p.x - (width - length) / 2;
#endif
    float4 sum = 0;
    for (int i = -range; i <= range; ++i) {
#if CLAMPED
        const int at = clamp(centre + i, 0, length - 1);
#else
        const int at = centre + i;  // a load outside the source reads 0
#endif
#if VERTICAL
        sum += source.Load(int3(p.x, at, 0));
#else
        sum += source.Load(int3(at, p.y, 0));
#endif
    }
    return sum * divive;
}
