// Opaque copy: colour kept, alpha 1.
Texture2D<float4> source : register(t0);

float4 main(float4 position : SV_Position) : SV_Target
{
    return float4(source.Load(int3(position.xy, 0)).rgb, 1);
}
