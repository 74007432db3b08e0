// A camera guide line drawn into a camera batch: hidden behind the opaque
// surfaces, faded where it meets one, merged into the transparent layer when
// translucent; its edges are softened by the share of the pixel inside the
// line, and it fades out toward a distance of 1000000.
RWTexture2D<float> depthBuffer : register(u1);
RWTexture2D<float4> transparentBuffer : register(u2);
RWTexture2D<float> transparentDepthBuffer : register(u3);
cbuffer Constant : register(b0)
{
    float4 color;
};

float inside(float t)
{
    const float w = max(abs(ddx(t)) + abs(ddy(t)), 0.00001);
    return saturate(min(t, 1 - t) / w + 0.5);
}

float4 main(float4 position : SV_Position, float4 uv : TEXCOORD0) : SV_Target
{
    const int2 p = int2(position.xy);
    const float d = 51.2 / position.z;
    const float e = depthBuffer[p] - d + 0.5;
    if (e <= 0)
        discard;
    float4 c = color * inside(uv.x) * inside(uv.y) * (1 - min(d * 0.000001, 1));
    if (e < 1)
        return c * e;
    if (c.a < 0.99)
    {
        if (c.a < 0.001)
            discard;
        const float4 old = transparentBuffer[p];
        if (transparentDepthBuffer[p] >= d)
        {
            transparentDepthBuffer[p] = d;
            transparentBuffer[p] = old * (1 - c.a) + c;
        }
        else
            transparentBuffer[p] = c * (1 - old.a) + old;
        discard;
    }
    if (d < transparentDepthBuffer[p])
    {
        transparentDepthBuffer[p] = d;
        transparentBuffer[p] = 0;
    }
    depthBuffer[p] = d;
    return c;
}
