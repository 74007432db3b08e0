// Makes pixels transparent by their luminance.
#include "YuvColor.hlsli"
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    int type;
    float offset;
    float range;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 c = texelAt(source, position);
    if (c.a < 0.001)
        return c;
    const float y = rgbToYuv(c.rgb / c.a).x;
    // A range of 0 would divide by zero: the ramp becomes a step.
    const float r = max(range, 1e-6);
    const float darkAndBright = min(y - offset, offset - y) / r + 1;
    float f = 0;
    switch (type)
    {
    case 0: f = (y - offset) / r + 1; break;
    case 1: f = (offset - y) / r + 1; break;
    case 2: f = darkAndBright; break;
    case 3: f = darkAndBright >= 0 ? 1 : 0; break;
    case 4: f = abs(y - offset) / r; break;
    case 5: f = abs(y - offset) / r >= 1 ? 1 : 0; break;
    }
    return c * saturate(f);
}
