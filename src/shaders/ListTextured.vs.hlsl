// Textured vertex lists: projected position, texture coordinate and alpha.
#define VERTEX_SHADER
#include "VertexList.hlsli"

TexturedVertex main(float3 position : POSITION, float2 uv : TEXUV, float vertexAlpha : COLOR)
{
    TexturedVertex o;
    o.position = project(position);
    o.uv = uv;
    o.alpha = vertexAlpha * alpha;
    return o;
}
