// The chroma key without edge shrink.
#include "ChromaKey.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 k = texelAt(keyMap, position);
    if (k.w < 0.001)
        return float4(0, 0, 0, 0);
    return keyed(texelAt(source, position), k, k.w);
}
