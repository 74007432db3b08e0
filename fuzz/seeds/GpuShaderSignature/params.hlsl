Texture2D<float4> t : register(t0);
[numthreads(8, 8, 1)] void m(uint3 id : SV_DispatchThreadID) {}
float4 main(float4 p : SV_POSITION, out float4 o : SV_Target1, float2 uv : TEXCOORD) : SV_Target { return t.Load(int3(p.xy, 0)); }
