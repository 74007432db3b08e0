// Full-target quad of positions: the position (fed as three floats, w = 1) passes through.
float4 main(float4 position : POSITION) : SV_Position
{
    return position;
}
