// The source faded by an alpha.
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    float alpha;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    return source.Load(int3(position.xy, 0)) * alpha;
}
