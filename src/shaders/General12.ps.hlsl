// Premultiply: colour times alpha.
Texture2D<float4> source : register(t0);

float4 main(float4 position : SV_Position) : SV_Target
{
    float4 c = source.Load(int3(position.xy, 0));
    return float4(c.rgb * c.a, c.a);
}
