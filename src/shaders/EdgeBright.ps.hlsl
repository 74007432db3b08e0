// Edges of brightness.
#define KIND 1
#include "Edge.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    return edge(position);
}
