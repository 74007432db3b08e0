// Every channel clamped to between 0 and alpha: a valid premultiplied colour.
Texture2D<float4> source : register(t0);

float4 main(float4 position : SV_Position) : SV_Target
{
    float4 c = source.Load(int3(position.xy, 0));
    return min(c.a, max(c, 0));
}
