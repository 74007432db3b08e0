// What the vertex-list shaders share: the constants written before each draw,
// the interpolated values, the supersampled texture read and the depth layers.
#include "BlendMode.hlsli"

cbuffer Constant : register(b0)
{
    row_major float4x4 projection;
    float alpha;
    int blend;
    row_major float4x4 normalWorld;
    float shine;
};

struct TexturedVertex
{
    float4 position : SV_Position;
    float2 uv : TEXCOORD;
    float alpha : COLOR;
};

struct TexturedNormalVertex
{
    float4 position : SV_Position;
    float4 normal : NORMAL;
    float2 uv : TEXCOORD;
    float alpha : COLOR;
};

struct ColoredVertex
{
    float4 position : SV_Position;
    float4 color : COLOR;
};

struct ColoredNormalVertex
{
    float4 position : SV_Position;
    float4 normal : NORMAL;
    float4 color : COLOR;
};

float4 project(float3 position)
{
    return mul(projection, float4(position, 1));
}

// The normal in world space, with the shine in w.
float4 worldNormal(float3 normal)
{
    return float4(mul((float3x3)normalWorld, normalize(normal)), shine);
}

#ifndef VERTEX_SHADER
SamplerState sourceSampler : register(s0);
Texture2D<float4> source : register(t0);
Texture2D<float4> frameBuffer : register(t1);

// One filtered sample where the texture is not shrunk, otherwise the mean of
// samples spread over the pixel's footprint so that shrinking does not alias.
// The single sample is the footprint's one cell, so neither case pays for the
// other where the GPU runs both sides of a branch. Images have one level and
// the samplers read the top level only, so every read is of level 0.
float4 readSource(float2 uv)
{
    float width, height;
    source.GetDimensions(width, height);
    const float2 gx = ddx(uv), gy = ddy(uv);
    const float2 f = float2(width, height) * (abs(gx) + abs(gy));
    const bool shrunk = f.x >= 1.05 || f.y >= 1.05;
    const int2 n = shrunk ? clamp(int2(trunc(f * 0.5 + 1.5)), 1, 16) : int2(1, 1);
    const float2 cx = gx / n.x, cy = gy / n.y;
    const float2 start = uv - (gx + gy) * 0.5 + (cx + cy) * 0.5;
    float4 sum = 0;
    for (int y = 0; y < n.y; ++y)
        for (int x = 0; x < n.x; ++x)
            sum += source.SampleLevel(sourceSampler, start + cx * x + cy * y, 0);
    return sum / (n.x * n.y);
}

// readSource where the caller knows that nothing is shrunk: the same one
// read, without the footprint loop (a loop costs the software rasterizer
// dearly even when it runs once).
float4 readSourceOnce(float2 uv)
{
    const float2 gx = ddx(uv), gy = ddy(uv);
    return source.SampleLevel(sourceSampler, uv - (gx + gy) * 0.5 + (gx + gy) * 0.5, 0);
}

// readSource where every pixel centre lies on a texel centre (the image at its
// own size, unturned, moved by whole pixels): the texel under the pixel. A
// filtered read there is meant to give the texel too, but the software
// rasterizer's rounded weights miss it by up to half a step of 8 bits, and it
// pays for the four reads it blends.
float4 readSourceTexel(float2 uv)
{
    uint width, height;
    source.GetDimensions(width, height);
    const int2 size = int2(width, height);
    const int2 texel = clamp(int2(floor(uv * float2(size))), int2(0, 0), size - 1);
    return source.Load(int3(texel, 0));
}

// Blends with the target copy unless the mode is 0; false when nothing is drawn.
bool applyBlend(inout float4 color, float4 target)
{
    if (blend == 0)
        return true;
    if (color.a < 0.001)
        return false;
    color = blendMode(blend, color, target);
    return true;
}

#ifdef DEPTH_LAYERS
RWTexture2D<float> depthBuffer : register(u1);
RWTexture2D<float4> transparentBuffer : register(u2);
RWTexture2D<float> transparentDepthBuffer : register(u3);
#ifdef NORMAL_LAYERS
RWTexture2D<float4> normalBuffer : register(u4);
RWTexture2D<float4> normalTransparentBuffer : register(u5);
#endif

float fragmentDepth(float4 position)
{
    return 51.2 / position.z;
}

// The target copy with the stored transparent layer over it when that lies in
// front of the opaque surface.
float4 targetBehind(int2 p)
{
    const float4 frame = frameBuffer.Load(int3(p, 0));
    if (transparentDepthBuffer[p] < depthBuffer[p])
        return frame + transparentBuffer[p] * (1 - frame.a);
    return frame;
}

// Puts the fragment into the depth layers. Returns true when `color` is to be
// written to the target, false when the fragment is to be discarded.
bool storeLayers(int2 p, float d, float e, inout float4 color, float4 normal)
{
    if (e < 1)
    {
        color *= e;  // on an existing surface: fade in, write no buffer
        return true;
    }
    const float stored = transparentDepthBuffer[p];
    if (color.a < 0.99)
    {
        if (color.a < 0.001)
            return false;
        const float4 old = transparentBuffer[p];
        if (stored >= d)
        {
            transparentDepthBuffer[p] = d;
            transparentBuffer[p] = old * (1 - color.a) + color;
#ifdef NORMAL_LAYERS
            if (color.a >= (1 - color.a) * old.a)
                normalTransparentBuffer[p] = normal;
#endif
        }
        else
        {
            transparentBuffer[p] = color * (1 - old.a) + old;
#ifdef NORMAL_LAYERS
            if (old.a < (1 - old.a) * color.a)
                normalTransparentBuffer[p] = normal;
#endif
        }
        return false;
    }
    if (d < stored)
    {
        transparentDepthBuffer[p] = d;
        transparentBuffer[p] = 0;
#ifdef NORMAL_LAYERS
        normalTransparentBuffer[p] = float4(0, 0, 0, -1);
#endif
    }
    depthBuffer[p] = d;
#ifdef NORMAL_LAYERS
    normalBuffer[p] = normal;
#endif
    return true;
}
#endif
#endif
