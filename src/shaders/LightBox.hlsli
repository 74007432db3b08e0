// A box sum of the light filter along one axis. Define VERTICAL (0 or 1),
// TRAILING (1: S[p - 2r] .. S[p]; 0: S[p - r] .. S[p + r]) and VALUE (0 all
// channels, 1 alpha times the colour, 2 inverse alpha times the colour)
// before including; the shader's main calls lightBox. Taps outside the
// source read transparent black.
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    float4 color;
    int range;
    float divive;
};

float4 lightBox(float4 position)
{
    const int2 p = int2(position.xy);
#if VERTICAL
    const int2 axis = int2(0, 1);
#else
    const int2 axis = int2(1, 0);
#endif
#if TRAILING
    const int first = -2 * range, last = 0;
#else
    const int first = -range, last = range;
#endif
#if VALUE == 0
    float4 sum = 0;
    for (int i = first; i <= last; ++i)
        sum += source.Load(int3(p + axis * i, 0));
    return sum * divive;
#else
    float sum = 0;
    for (int i = first; i <= last; ++i) {
#if VALUE == 1
        sum += source.Load(int3(p + axis * i, 0)).a;
#else
        sum += 1 - source.Load(int3(p + axis * i, 0)).a;
#endif
    }
    return sum * divive * color;
#endif
}
