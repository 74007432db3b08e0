// Full-target quad with texture coordinates (v = 0 at the top of the target).
struct Output
{
    float4 position : SV_Position;
    float2 uv : TEXCOORD;
};

Output main(float4 position : POSITION, float2 uv : TEXCOORD)
{
    Output o;
    o.position = position;
    o.uv = uv;
    return o;
}
