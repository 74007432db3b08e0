// The clipping area tinted in the preview: the mask's alpha times the
// premultiplied tint colour.
Texture2D<float4> mask : register(t0);
cbuffer Constant : register(b0)
{
    float4 color;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    return mask.Load(int3(int2(position.xy), 0)).a * color;
}
