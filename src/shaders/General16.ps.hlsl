// Every channel saturated.
Texture2D<float4> source : register(t0);

float4 main(float4 position : SV_Position) : SV_Target
{
    return saturate(source.Load(int3(position.xy, 0)));
}
