// Camera guide lines: positions already divided by w, with the texture
// coordinate the line's softened edges are measured by.
struct Output
{
    float4 position : SV_Position;
    float4 uv : TEXCOORD0;
};

Output main(float3 position : POSITION, float4 uv : TEXCOORD0)
{
    Output o;
    o.position = float4(position, 1);
    o.uv = uv;
    return o;
}
