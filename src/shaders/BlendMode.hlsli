// The blend modes: s is the premultiplied source, d the copy of the target.
// Modes 1 to 12 change the colour only, to be drawn over the target; modes 20
// to 23 give the difference to add to the target.
static const float3 kLuma = float3(0.299, 0.587, 0.114);
static const float3 kCb = float3(-0.169, -0.331, 0.5);
static const float3 kCr = float3(0.5, -0.419, -0.081);

float3 fromYCbCr(float y, float cb, float cr)
{
    return float3(y + 1.402 * cr, y - 0.344 * cb - 0.714 * cr, y + 1.772 * cb);
}

float4 blendMode(int blend, float4 s, float4 d)
{
    const float3 under = d.rgb * s.a;
    switch (blend)
    {
    case 1: return float4(s.rgb + under, s.a);
    case 2: return float4(under - s.rgb, s.a);
    case 3: return float4(d.rgb * s.rgb, s.a);
    case 4: return float4(s.rgb + d.rgb * (s.a - s.rgb), s.a);
    case 5:
    {
        const float3 screen = 2 * (s.rgb + d.rgb * (s.a - s.rgb)) - s.a;
        return float4(d.rgb < 0.5 ? 2 * d.rgb * s.rgb : screen, s.a);
    }
    case 6: return float4(max(s.rgb, under), s.a);
    case 7: return float4(min(s.rgb, under), s.a);
    case 8: return float4(fromYCbCr(dot(s.rgb, kLuma), dot(kCb, under), dot(kCr, under)), s.a);
    case 9: return float4(fromYCbCr(dot(under, kLuma), dot(kCb, s.rgb), dot(kCr, s.rgb)), s.a);
    case 10: return float4(clamp(under + s.rgb - s.a, 0, s.a), s.a);
    case 11: return float4(clamp(under + 2 * s.rgb - s.a, 0, s.a), s.a);
    case 12: return float4(abs(under - s.rgb), s.a);
    case 20: return (d + s) / (d.a + s.a) * min(d.a + s.a, 1) - d;
    case 21:
    {
        const float4 q = d * (1 - s.a) + s;
        return q / q.a * min(d.a + s.a, 1) - d;
    }
    case 22: return (d + s) / (d.a + s.a) * max(d.a, s.a) - d;
    case 23: return s / s.a * max(d.a - s.a, 0) - d;
    default: return s;
    }
}
