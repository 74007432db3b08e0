// Inverts the alpha: transparent becomes opaque white, the colour is kept.
Texture2D<float4> source : register(t0);

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 c = source.Load(int3(int2(position.xy), 0));
    if (c.a < 0.001)
        return float4(1, 1, 1, 1);
    const float a = 1 - c.a;
    return float4(c.rgb / c.a * a, a);
}
