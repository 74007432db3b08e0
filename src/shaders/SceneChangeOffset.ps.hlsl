// The source moved by an offset; pixels whose texel lies off the source are
// discarded, leaving the target's.
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    int2 offset;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    uint w, h;
    source.GetDimensions(w, h);
    const int2 s = int2(position.xy) + offset;
    if (s.x < 0 || s.y < 0 || s.x >= int(w) || s.y >= int(h))
        discard;
    return source.Load(int3(s, 0));
}
