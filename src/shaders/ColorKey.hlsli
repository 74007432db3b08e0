// The constants of the colour key's passes.
cbuffer constant0 : register(b0)
{
    float3 key;
    int range;
    float3 len;
    float divie;
};
