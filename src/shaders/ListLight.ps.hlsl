// Light pass: ambient plus directional lights on the stored normals, with a
// microfacet highlight whose roughness comes from the shine.
Texture2D<float4> normalBuffer : register(t0);

struct Light
{
    int type;
    float3 pos;
    float4 col;
};

cbuffer Constant : register(b0)
{
    Light source[8];
    int lightNum;
    float3 ambient;
};

float4 main(float4 position : SV_Position, float4 view : NORMAL) : SV_Target
{
    const float4 stored = normalBuffer.Load(int3(int2(position.xy), 0));
    if (stored.w < 0)
        discard;
    const float3 N = normalize(stored.xyz);
    const float r = (1 - stored.w) * (1 - stored.w);
    const float a = r * r;
    const float3 V = normalize(view.xyz);
    const float NV = saturate(dot(N, V));
    float4 sum = float4(ambient, 0);
    for (int i = 0; i < min(lightNum, 8); ++i)
    {
        if (source[i].type != 1)
            continue;
        const float3 L = source[i].pos;
        const float3 H = normalize(V + L);
        const float F = 0.04 + 0.96 * pow(1 - saturate(dot(H, L)), 5);
        const float NL = saturate(dot(N, L));
        const float NH = saturate(dot(N, H));
        const float q = NH * NH * (a - 1) + 1;
        const float D = a / (q * q);
        const float G = 0.5 / (NL * sqrt(NV * NV * (1 - a) + a) + NV * sqrt(NL * NL * (1 - a) + a) + 0.00001);
        sum += (D * G * F + (1 - F)) * source[i].col * NL;
    }
    return sum;
}
