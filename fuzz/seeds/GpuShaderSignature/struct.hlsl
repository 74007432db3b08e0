struct In { float4 p : SV_Position; nointerpolation uint id : BLENDINDICES1; float2 uv : TEXCOORD3; };
cbuffer C : register(b0) { float4 k; };
/* comment */ float4 main(In i, float a : COLOR) : SV_Target { return k; }
