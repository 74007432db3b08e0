// Textured vertex lists with normals.
#define VERTEX_SHADER
#include "VertexList.hlsli"

TexturedNormalVertex main(float3 position : POSITION, float3 normal : NORMAL, float2 uv : TEXUV,
                          float vertexAlpha : COLOR)
{
    TexturedNormalVertex o;
    o.position = project(position);
    o.normal = worldNormal(normal);
    o.uv = uv;
    o.alpha = vertexAlpha * alpha;
    return o;
}
