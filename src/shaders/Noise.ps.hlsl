// Fractal noise as an alpha to multiply the image by: six octaves of value
// noise from the smooth random field (types 0, 1, 2, 4, 5), or the random
// permutation blended over time (type 3).
SamplerState wrapSampler : register(s0);
Texture2D<float> field : register(t0);
cbuffer Constant : register(b0)
{
    float3 step;  // moves each coarser octave off the lattice of the finer
    int type;
    float2 offset;
    float2 cycle;
    float accelerate;  // position along the time axis
    float level;       // strength, 0 .. 2
    float limit;       // threshold
    float limitRatio;  // 1 / (1 - threshold)
};

float corner(int3 c)
{
    return field.Load(int3((c.x + 79 * c.z) & 255, (c.y + 79 * c.z) & 255, 0));
}

float valueNoise(float3 q)
{
    const float3 cell = floor(q);
    const float3 w = (1 - cos(3.14159265 * (q - cell))) * 0.5;
    const int3 c = int3(cell);
    const float x00 = lerp(corner(c), corner(c + int3(1, 0, 0)), w.x);
    const float x10 = lerp(corner(c + int3(0, 1, 0)), corner(c + int3(1, 1, 0)), w.x);
    const float x01 = lerp(corner(c + int3(0, 0, 1)), corner(c + int3(1, 0, 1)), w.x);
    const float x11 = lerp(corner(c + int3(0, 1, 1)), corner(c + int3(1, 1, 1)), w.x);
    return lerp(lerp(x00, x10, w.y), lerp(x01, x11, w.y), w.z);
}

float4 main(float4 position : SV_Position) : SV_Target
{
    const float2 p = trunc(position.xy) * cycle + offset;
    float v = 0;
    if (type == 3)
    {
        const float z = accelerate * 10;
        const float k = trunc(z);
        const float a = field.SampleLevel(wrapSampler, (p + 79 * k + 0.5) / 256, 0);
        const float b = field.SampleLevel(wrapSampler, (p + 79 * (k + 1) + 0.5) / 256, 0);
        v = saturate(lerp(a, b, z - k) - limit);
    }
    else if (type >= 0 && type <= 5)
    {
        const bool magnitude = type == 1 || type == 2 || type == 4;
        float3 q = float3(p, accelerate);
        float n = 0;
        for (int i = 0; i < 6; ++i)
        {
            const float octave = valueNoise(q);
            n = n * 0.5 + (magnitude ? abs(octave) : octave);
            q = q * 0.5 + step;
        }
        float x;
        if (type == 0)
            x = n + 0.5;
        else if (type == 1)
            x = 1 - 2 * n;
        else if (type == 2)
            x = 2 * n;
        else if (type == 4)
            x = sin((0.5 - n + p.x / 256) * 12.56637061) * 0.5 + 0.5;
        else
            x = sin(sin(n * 25.13274123) * 6.28318531) * 0.5 + 0.5;
        v = saturate((x - limit) * limitRatio);
    }
    const float a = level <= 1 ? 1 + (v - 1) * level : (2 - level) * v;
    return float4(0, 0, 0, a);
}
