// Coloured vertex lists with normals.
#define VERTEX_SHADER
#include "VertexList.hlsli"

ColoredNormalVertex main(float3 position : POSITION, float3 normal : NORMAL, float4 color : COLOR)
{
    ColoredNormalVertex o;
    o.position = project(position);
    o.normal = worldNormal(normal);
    o.color = float4(color.rgb * color.a, color.a) * alpha;
    return o;
}
