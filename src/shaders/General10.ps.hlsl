// The source moved by an offset and faded; reads outside the source give 0.
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    float alpha;
    int2 offset;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    return source.Load(int3(int2(position.xy) + offset, 0)) * alpha;
}
