// Closing a clipping: the frame as it was when the clipping opened goes out
// first, the mask second; the blend keeps what was drawn since only where the
// mask covers (snapshot * (1 - mask alpha) + frame * mask alpha).
Texture2D<float4> snapshot : register(t0);
Texture2D<float4> mask : register(t1);

struct Output
{
    float4 snapshot : SV_Target0;
    float4 mask : SV_Target1;
};

Output main(float4 position : SV_Position)
{
    const int3 p = int3(int2(position.xy), 0);
    Output o;
    o.snapshot = snapshot.Load(p);
    o.mask = float4(0, 0, 0, mask.Load(p).a);
    return o;
}
