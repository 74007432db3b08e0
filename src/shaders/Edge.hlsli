// Edges by the 3 x 3 gradient of a value of the neighbours (positions clamped
// to the image), eased by the threshold and strength into the colour under
// the centre's alpha. Define KIND (0 colour, 1 brightness, 2 alpha) before
// including; the shader's main calls edge.
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    float4 color;
    float limit;
    float ratio;
};

float magnitude(float3 column[3][3], int channel)
{
    float gx = 0, gy = 0;
    for (int i = 0; i < 3; ++i) {
        gx += column[2][i][channel] - column[0][i][channel];
        gy += column[i][2][channel] - column[i][0][channel];
    }
    return sqrt(gx * gx + gy * gy);
}

float4 edge(float4 position)
{
    uint width, height;
    source.GetDimensions(width, height);
    const int2 p = int2(position.xy);
    float3 v[3][3];  // [x][y]: (Y, Cb, Cr) or (alpha, 0, 0)
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 3; ++y) {
            const int2 q = clamp(p + int2(x - 1, y - 1), int2(0, 0), int2(width, height) - 1);
            const float4 c = source.Load(int3(q, 0));
#if KIND == 2
            v[x][y] = float3(c.a, 0, 0);
#else
            v[x][y] = float3(dot(c.rgb, float3(0.299, 0.587, 0.114)), dot(c.rgb, float3(-0.169, -0.331, 0.5)),
                             dot(c.rgb, float3(0.5, -0.419, -0.081)));
#endif
        }
#if KIND == 0
    const float g = magnitude(v, 0) + magnitude(v, 1) + magnitude(v, 2);
#else
    const float g = magnitude(v, 0);
#endif
    return saturate((g - limit) * ratio) * source.Load(int3(p, 0)).a * color;
}
