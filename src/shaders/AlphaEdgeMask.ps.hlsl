// Moves a soft alpha edge inward: the source where its blurred alpha, with the
// source's own, reaches over one half.
Texture2D<float4> source : register(t0);
Texture2D<float4> blurred : register(t1);

float4 main(float4 position : SV_Position) : SV_Target
{
    const int3 p = int3(int2(position.xy), 0);
    const float4 c = source.Load(p);
    return c * saturate(2 * blurred.Load(p).a * c.a - 1);
}
