// The transparent layer where it lies in front of the opaque surface.
RWTexture2D<float> depthBuffer : register(u1);
RWTexture2D<float4> transparentBuffer : register(u2);
RWTexture2D<float> transparentDepthBuffer : register(u3);

float4 main(float4 position : SV_Position) : SV_Target
{
    const int2 p = int2(position.xy);
    if (transparentDepthBuffer[p] >= depthBuffer[p])
        discard;
    return transparentBuffer[p];
}
