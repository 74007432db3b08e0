// Luminance and colour difference of the colour filters, forward and back.
float3 rgbToYuv(float3 c)
{
    return float3(dot(c, float3(0.299, 0.587, 0.114)), dot(c, float3(-0.169, -0.331, 0.5)),
                  dot(c, float3(0.5, -0.419, -0.081)));
}

float3 yuvToRgb(float3 c)
{
    return float3(c.x + 1.402 * c.z, c.x - 0.344 * c.y - 0.714 * c.z, c.x + 1.772 * c.y);
}

// The texel at the pixel; reads outside the image give transparent black.
float4 texelAt(Texture2D<float4> image, float4 position)
{
    return image.Load(int3(int2(position.xy), 0));
}
