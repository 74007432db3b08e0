// The edge shrink of the keying passes: a weight lowered by the share of
// keyed texels among the (2r + 1)^2 around the pixel, reads outside the
// image counting as 0. divie = 1 / (2r + 1)^2.
float shrinkWeight(Texture2D<float4> weights, int2 p, int r, float divie, float w)
{
    float sum = 0;
    for (int y = -r; y <= r; ++y)
        for (int x = -r; x <= r; ++x)
            sum += weights.Load(int3(p + int2(x, y), 0)).a;
    return max(1 + r * (w * sum * divie - 1), 0);
}
