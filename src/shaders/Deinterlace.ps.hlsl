// One field rebuilt from the rows around it (type 0 keeps the even rows, 1 the
// odd ones), or both fields blended (type 2); rows clamped to the image.
Texture2D<float4> source : register(t0);
cbuffer Constant : register(b0)
{
    int type;
};

float4 main(float4 position : SV_Position) : SV_Target
{
    float width, height;
    source.GetDimensions(width, height);
    const int2 p = int2(position.xy);
    const int last = int(height) - 1;
    const float4 above = source.Load(int3(p.x, max(p.y - 1, 0), 0));
    const float4 below = source.Load(int3(p.x, min(p.y + 1, last), 0));
    const float4 here = source.Load(int3(p, 0));
    if (type == 2)
        return (2 * here + above + below) * 0.25;
    if ((p.y & 1) != type)
        return (above + below) * 0.5;
    return here;
}
