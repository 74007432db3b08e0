// Copy: the source texel at the pixel.
Texture2D<float4> source : register(t0);

float4 main(float4 position : SV_Position) : SV_Target
{
    return source.Load(int3(position.xy, 0));
}
