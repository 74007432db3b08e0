// The sector cut around a point: the distances of the pixel from the start
// and end rays and from the bisector's normal, for the narrow and wide shaders.
cbuffer constant0 : register(b0)
{
    float2 offset;
    float2 directionS;
    float2 directionE;
    float2 directionL;
    float range;
    float limit;
};

float smooth01(float t)
{
    t = saturate(t);
    return t * t * (3 - 2 * t);
}
