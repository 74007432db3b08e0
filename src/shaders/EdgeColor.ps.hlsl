// Edges of brightness and colour difference together.
#define KIND 0
#include "Edge.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return edge(position);
}
