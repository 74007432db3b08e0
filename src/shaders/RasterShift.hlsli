// Each line moved sideways by a travelling wave: an output pixel averages the
// source texels of its line between the shifts of the two neighbouring lines,
// so steep parts of the wave are smeared rather than torn. RASTER_COLUMNS
// moves columns up and down instead of rows; RASTER_RANDOM mixes three
// harmonics at three speeds with amplitudes from the smooth random field.
Texture2D<float4> source : register(t0);
Texture2D<float> field : register(t1);
cbuffer Constant : register(b0)
{
    int type;
    float length;          // amplitude in pixels
    float cycle;           // phase of the wave, in lines
    float PI2divideRange;  // 2 pi / wavelength
    float divideRange;     // 1 / wavelength
};

#ifdef RASTER_RANDOM
// A texel of the field by integer position; a negative index lies outside.
float amplitude(int x, int y)
{
    if (x < 0 || y < 0)
        return 0;
    return field.Load(int3(x, y, 0));
}

float shift(float row)
{
    static const float weights[3][3] = {{16, 8, 4}, {8, 4, 2}, {4, 2, 1}};
    float sum = 0;
    [unroll] for (int p = 0; p < 3; ++p)
    {
        const float phase = row + cycle / float(1 << p);
        [unroll] for (int m = 0; m < 3; ++m)
        {
            const float h = float(1 << m);
            const int k = int(trunc(h * phase * divideRange)) + 1 + m + 6 * p;
            const int i = k - 256 * (k / 256);
            const float a = p == 0 ? amplitude(i, m + 1) : p == 1 ? amplitude(7 + m, i) : amplitude(i, i);
            sum += sin(h * phase * PI2divideRange) * a * (weights[m][p] / 49.0);
        }
    }
    return length * sum;
}
#else
float shift(float row)
{
    return length * sin((row + cycle) * PI2divideRange);
}
#endif

float4 rasterShift(float4 position)
{
    float width, height;
    source.GetDimensions(width, height);
    const int2 p = int2(position.xy);
#ifdef RASTER_COLUMNS
    const int row = p.x, along = p.y, count = int(height);
#else
    const int row = p.y, along = p.x, count = int(width);
#endif
    const float before = shift(float(row - 1)), after = shift(float(row + 1));
    const int first = along - int(length) + int(trunc(min(before, after) + 0.5));
    const int last = along - int(length) + int(trunc(max(before, after) + 0.5));
    float4 sum = 0;
    for (int i = max(first, 0); i <= min(last, count - 1); ++i)
    {
#ifdef RASTER_COLUMNS
        sum += source.Load(int3(row, i, 0));
#else
        sum += source.Load(int3(i, row, 0));
#endif
    }
    return sum / float(last - first + 1);
}
