// The waveform and spectrum passes' constants and data: one row of levels
// read with integer loads, drawn on a grid of res.x by res.y cells over a
// target of size.x by size.y pixels.
cbuffer constant0 : register(b0)
{
    float4 color;
    int2 size;
    int2 res;
    float2 pad;  // half the filled part of a cell, across and down
    float vol;
};
Texture2D<float> texture0 : register(t0);

// The data texel i; 0 outside the row.
float sampleAt(int i)
{
    uint width, height;
    texture0.GetDimensions(width, height);
    return i < 0 || i >= (int)width ? 0 : texture0.Load(int3(i, 0, 0));
}

// Whether the pixel at fraction f of its cell lies in the gap around the filled part.
bool outsideCell(float2 f)
{
    return abs(f.x - 0.5) > pad.x || abs(f.y - 0.5) > pad.y;
}
