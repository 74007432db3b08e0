// Slice transition: the source cut into bands that move apart, alternate
// bands in opposite directions; pixels whose texel lies off the source are
// discarded, leaving the target's.
Texture2D<float4> source : register(t0);
cbuffer constant0 : register(b0)
{
    int offsetX;
    int offsetY;
    int divide;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    uint w, h;
    source.GetDimensions(w, h);
    const uint2 p = uint2(position.xy);
    const uint bx = (p.x * uint(divide)) / w;
    const uint by = (p.y * uint(divide)) / h;
    const int sx = int(p.x) + offsetX * ((by & 1u) != 0u ? 1 : -1);
    const int sy = int(p.y) + offsetY * ((bx & 1u) != 0u ? 1 : -1);
    if (sx < 0 || sy < 0 || sx >= int(w) || sy >= int(h))
        discard;
    return source.Load(int3(sx, sy, 0));
}
