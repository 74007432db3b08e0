// Two copies at once: each source to its own target.
Texture2D<float4> first : register(t0);
Texture2D<float4> second : register(t1);

struct Output
{
    float4 first : SV_Target0;
    float4 second : SV_Target1;
};

Output main(float4 position : SV_Position)
{
    const int3 p = int3(int2(position.xy), 0);
    Output o;
    o.first = first.Load(p);
    o.second = second.Load(p);
    return o;
}
