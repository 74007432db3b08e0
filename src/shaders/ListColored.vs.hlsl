// Coloured vertex lists: the straight colour premultiplied and faded.
#define VERTEX_SHADER
#include "VertexList.hlsli"

ColoredVertex main(float3 position : POSITION, float4 color : COLOR)
{
    ColoredVertex o;
    o.position = project(position);
    o.color = float4(color.rgb * color.a, color.a) * alpha;
    return o;
}
