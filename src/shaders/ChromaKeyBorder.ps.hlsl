// The chroma key with the kept edge shrunk by the range.
#include "ChromaKey.hlsli"

float4 main(float4 position : SV_Position) : SV_Target
{
    const float4 k = texelAt(keyMap, position);
    if (k.w < 0.001)
        return float4(0, 0, 0, 0);
    const float w = shrinkWeight(keyMap, int2(position.xy), range, divie, k.w);
    return keyed(texelAt(source, position), k, w);
}
