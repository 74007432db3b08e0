// The frame as the bits of a 24-bit bitmap: bottom-up rows of blue, green, red
// bytes, each row padded with zeros to a multiple of 4 bytes. The target is an
// 8-bit RGBA texture a quarter of the row's bytes wide, each texel four
// consecutive bytes of the row. Every byte is the colour channel as it comes
// (premultiplied, alpha dropped, as the opaque copy keeps it), so the target's
// own conversion to 8 bits makes the same bytes as a read-back through
// B8G8R8X8 followed by packing on the CPU.
Texture2D<float4> source : register(t0);

float channel(float4 c, uint i)
{
    return i == 0 ? c.b : i == 1 ? c.g : c.r;
}

float4 main(float4 position : SV_Position) : SV_Target
{
    uint width, height;
    source.GetDimensions(width, height);
    const uint2 at = uint2(position.xy);
    const int row = int(height - 1 - at.y);
    // The texel's four bytes fall in at most two pixels: the one its first byte
    // starts and the next.
    const uint first = at.x * 4;
    const uint pixel = first / 3;
    const float4 a = source.Load(int3(pixel, row, 0));
    const float4 b = pixel + 1 < width ? source.Load(int3(pixel + 1, row, 0)) : float4(0, 0, 0, 0);
    float bytes[4];
    [unroll] for (uint k = 0; k < 4; ++k) {
        const uint i = first + k;
        const uint p = i / 3;
        const float4 c = p == pixel ? a : b;
        bytes[k] = p < width ? channel(c, i - p * 3) : 0;
    }
    return float4(bytes[0], bytes[1], bytes[2], bytes[3]);
}
