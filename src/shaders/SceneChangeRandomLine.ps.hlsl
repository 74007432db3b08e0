// Random lines: each line of the source stays while its value in the random
// texture is at least the ratio; the other lines are discarded, leaving the
// target's.
Texture2D<float4> source : register(t0);
Texture2D<float> random : register(t1);
cbuffer constant0 : register(b0)
{
    float ratio;
    int divideX;
    int divideY;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    uint w, h;
    source.GetDimensions(w, h);
    const uint2 p = uint2(position.xy);
    const uint n = (p.x * uint(divideX)) / w + (p.y * uint(divideY)) / h;
    if (random.Load(int3(int(n % 256u), int(n / 256u), 0)) < ratio)
        discard;
    return source.Load(int3(int2(p), 0));
}
